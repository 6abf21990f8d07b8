// The yardstick for start-up: a bare Qt Widgets window of the app's size
// under a toolbar holding one line of text, with nothing behind it (with
// --no-text, not even the text, so no font is ever loaded). Writes "painted"
// to standard error once its content has been painted for the first time.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QToolBar>

#include <cstdio>

namespace {

class Content final : public QWidget {
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).fillRect(rect(), Qt::black);
        if (!m_painted) {
            m_painted = true;
            std::fprintf(stderr, "painted\n");
        }
    }

private:
    bool m_painted = false;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QMainWindow window;
    auto *toolbar = new QToolBar;
    if (!application.arguments().contains(QStringLiteral("--no-text")))
        toolbar->addWidget(new QLabel(QStringLiteral("Ear Training")));
    window.addToolBar(toolbar);
    auto *content = new Content;
    content->setFixedSize(860, 340);
    window.setCentralWidget(content);
    window.show();
    return application.exec();
}
