#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow frame;
    frame.setWindowTitle("MAREL V 2014.4");
    frame.resize(1024, 700);
    frame.show();
    return app.exec();
}
