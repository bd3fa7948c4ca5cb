#include "print/print_help.h"

#include "net/url_connection.h"
#include "viewer/html_viewer.h"

#include <QDialog>
#include <QVBoxLayout>

namespace lumo {

void ShowPrintHelp(QWidget* parent) {
    QDialog window(parent);
    window.setObjectName("PrintHelp");
    window.setWindowTitle("Print Settings Help");
    window.resize(560, 480);
    auto* column = new QVBoxLayout(&window);
    column->setContentsMargins(0, 0, 0, 0);
    auto* viewer = new THTMLViewer(&window);
    viewer->SetDefBackground(0xFFFFFF);
    column->addWidget(viewer);
    const std::string address = "res:///printhelp.htm";
    auto connection = TURLConnection::CreateForURL(address);
    connection->Get(address);
    viewer->OpenStream(address, *connection->ContentStream(), connection->ContentKind());
    window.exec();
}

} // namespace lumo
