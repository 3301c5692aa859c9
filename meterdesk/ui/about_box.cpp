#include "meterdesk/ui/about_box.h"

#include "meterdesk/ui/screen_resources.h"

#include <rfsense/rfsense.h>

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace meterdesk::ui {

QString library_revision() {
    char text[72] = {};
    SensorDLL_Revision(text);
    text[sizeof text - 1] = '\0';
    return QString::fromLatin1(text).trimmed();
}

AboutBox::AboutBox(const QString &library_revision, QWidget *owner) : QDialog(owner) {
    setObjectName("AboutBox");
    setWindowTitle("About");
    setModal(true);

    auto *layout = new QGridLayout(this);
    auto *icon = new QLabel(this);
    icon->setPixmap(program_icon().pixmap(32, 32));
    layout->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);

    int row = 0;
    for (const char *line :
         {"Range of USB Microwave Power Sensors", "User Interface for the Zyn Quorix",
          "(Models RX1, RX2LOKAN, RX3LOKAN & RX4LO)"}) {
        layout->addWidget(new QLabel(line, this), row++, 1, 1, 2);
    }
    layout->addWidget(new QLabel("App Revision ", this), row, 1);
    auto *app = new QLabel(kAppRevision, this);
    app->setObjectName("id1527");
    layout->addWidget(app, row++, 2);
    layout->addWidget(new QLabel("DLL Revision ", this), row, 1);
    auto *dll = new QLabel(library_revision, this);
    dll->setObjectName("id1528");
    layout->addWidget(dll, row++, 2);
    layout->addWidget(new QLabel("Zyn Quorix, 2024", this), row++, 1, 1, 2);

    auto *ok = new QPushButton("OK", this);
    ok->setObjectName("IDOK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, row, 2, Qt::AlignRight);
}

} // namespace meterdesk::ui
