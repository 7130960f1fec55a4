// Another program that takes drops: a window titled "Drop Target" at the
// place given (x y w h) that says when a drag enters and prints each drop's formats, file URLs and
// picture size on standard output.
#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QWidget>
#include <cstdio>

namespace {

struct DropTarget : QWidget {
    DropTarget() { setAcceptDrops(true); }
    void dragEnterEvent(QDragEnterEvent *event) override {
        std::printf("enter\n");
        std::fflush(stdout);
        event->acceptProposedAction();
    }
    void dragMoveEvent(QDragMoveEvent *event) override { event->acceptProposedAction(); }
    void dropEvent(QDropEvent *event) override {
        const QMimeData *data = event->mimeData();
        std::printf("formats %s\n", qPrintable(data->formats().join(' ')));
        // The raw bytes, as a program of another toolkit reads them.
        for (const QByteArray &url : data->data("text/uri-list").split('\n'))
            if (!url.trimmed().isEmpty())
                std::printf("url %s\n", url.trimmed().constData());
        if (data->hasFormat("image/png")) {
            const QImage image = QImage::fromData(data->data("image/png"), "PNG");
            std::printf("image %dx%d #%08x\n", image.width(), image.height(),
                        image.isNull() ? 0u : image.pixel(0, 0));
        }
        std::printf("end\n");
        std::fflush(stdout);
        event->acceptProposedAction();
    }
};

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QStringList a = app.arguments();
    DropTarget target;
    target.setWindowTitle(QStringLiteral("Drop Target"));
    target.setGeometry(a.value(1).toInt(), a.value(2).toInt(), a.value(3).toInt(),
                       a.value(4).toInt());
    target.show();
    return app.exec();
}
