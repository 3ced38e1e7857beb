// A window that drags one file as a file manager does, for the test that drops a file on the
// program: usage FILE X Y. A press on it drags FILE. Like a file manager it stays after the
// drop, since the target asks it for the file's name then; the test ends it.

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include <cstdlib>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 4) return 2;
    const QString file = QString::fromLocal8Bit(argv[1]);
    QPushButton source(file);
    QObject::connect(&source, &QPushButton::pressed, [&] {
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(file)});
        auto* drag = new QDrag(&source);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
    });
    source.setWindowTitle("Drag Source");
    source.setGeometry(std::atoi(argv[2]), std::atoi(argv[3]), 220, 120);
    source.show();
    return app.exec();
}
