// A window that drags one file as a file manager does, for the test that drops a file on the
// program: usage FILE X Y. A press on it drags FILE. Like a file manager it stays after the
// drop, since the target asks it for the file's name then; the test ends it.

#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QUrl>

#include <cstdlib>

class CDragSource : public QLabel {
public:
    explicit CDragSource(const QString& file) : QLabel(file), m_file(file) { setWindowTitle("Drag Source"); }

protected:
    void mousePressEvent(QMouseEvent*) override
    {
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(m_file)});
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
    }

private:
    QString m_file;
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 4) return 2;
    CDragSource source(QString::fromLocal8Bit(argv[1]));
    source.setGeometry(std::atoi(argv[2]), std::atoi(argv[3]), 220, 120);
    source.show();
    return app.exec();
}
