// Another program taking drops: a window "Drop Target" at x y w h that prints
// "enter" when a drag comes in and, for a drop, its formats, file URLs and
// PNG picture as another toolkit would read the bytes, then "end".
#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QWidget>
#include <cstdio>

struct DropTarget : QWidget {
    void dragEnterEvent(QDragEnterEvent *event) override {
        std::printf("enter\n");
        std::fflush(stdout);
        event->acceptProposedAction();
    }
    void dropEvent(QDropEvent *event) override {
        const QMimeData *data = event->mimeData();
        std::printf("formats %s\n", qPrintable(data->formats().join(' ')));
        for (const QByteArray &url : data->data("text/uri-list").split('\n'))
            if (!url.trimmed().isEmpty())
                std::printf("url %s\n", url.trimmed().constData());
        if (const QImage image = QImage::fromData(data->data("image/png"), "PNG"); !image.isNull())
            std::printf("image %dx%d #%08x\n", image.width(), image.height(), image.pixel(0, 0));
        std::printf("end\n");
        std::fflush(stdout);
        event->acceptProposedAction();
    }
};

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const QStringList a = app.arguments();
    DropTarget target;
    target.setAcceptDrops(true);
    target.setWindowTitle(QStringLiteral("Drop Target"));
    target.setGeometry(a.value(1).toInt(), a.value(2).toInt(), a.value(3).toInt(),
                       a.value(4).toInt());
    target.show();
    return app.exec();
}
