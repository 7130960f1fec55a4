// The video module's one entry: the program loads it when a film starts.
#include "output/aviwriter.h"

extern "C" Q_DECL_EXPORT quillcap::VideoWriter *quillcap_new_video_writer() {
    return new quillcap::AviWriter;
}
