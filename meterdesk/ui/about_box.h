// AboutBox: the modal "About..." dialog (40009) with the application and library revisions.
#pragma once

#include <QDialog>

namespace meterdesk::ui {

inline constexpr const char *kAppRevision = "4.1";

class AboutBox : public QDialog {
  public:
    // `library_revision` is the text of SensorDLL_Revision.
    AboutBox(const QString &library_revision, QWidget *owner);
};

// The library's revision text, from SensorDLL_Revision.
QString library_revision();

} // namespace meterdesk::ui
