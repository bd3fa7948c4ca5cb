// bench_qt_floor FILE.png: what Qt alone costs for a screenshot of an empty
// 800x600 window (start-up, the platform plugin, fonts, one paint, PNG).
#include <QApplication>
#include <QLabel>
#include <QPixmap>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    QLabel window("Hello");
    window.resize(800, 600);
    window.show();
    QApplication::processEvents();
    return window.grab().save(argv[1]) ? 0 : 1;
}
