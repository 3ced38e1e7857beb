// A window that drags one file, as a file manager does, for the test that
// drops a file on the program: a press anywhere on it starts the drag of the
// file named on its command line, and it prints the drop's outcome. Like a
// file manager it stays, for the target reads the file's name from it after
// the drop; the test ends it.

#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include <cstdio>
#include <cstdlib>

namespace {

class CDragSource : public QLabel {
public:
    explicit CDragSource(const QString& file) : QLabel(QStringLiteral("Drag: ") + file), m_file(file)
    {
        setWindowTitle(QStringLiteral("Drag Source"));
        setAlignment(Qt::AlignCenter);
        resize(220, 120);
    }

protected:
    void mousePressEvent(QMouseEvent*) override
    {
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(m_file)});
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        const Qt::DropAction action = drag->exec(Qt::CopyAction);
        std::printf("drop %s\n", action == Qt::CopyAction ? "copied" : "refused");
        std::fflush(stdout);
    }

private:
    QString m_file;
};

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: graphelle_drag_source FILE X Y\n");
        return 2;
    }
    CDragSource source(QString::fromLocal8Bit(argv[1]));
    source.move(std::atoi(argv[2]), std::atoi(argv[3]));
    source.show();
    return app.exec();
}
