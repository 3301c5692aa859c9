#include "sensor-setup/ui/help_box.h"

#include "meterdesk/base/rtf_reader.h"
#include "meterdesk/widgets/qt_controls.h"
#include "meterdesk/widgets/rtf_text_document.h"
#include "sensor-setup/core/control_ids.h"
#include "sensor-setup/core/installer_help.h"
#include "sensor-setup/core/pages.h"

#include <QHBoxLayout>
#include <QPalette>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace sensor_setup::ui {

HelpBox::HelpBox(const std::filesystem::path &source, int topic, SetupUi &ui, QWidget *owner)
    : QDialog(owner) {
    setObjectName(QStringLiteral("HelpBox"));
    setModal(true);
    setWindowTitle(QString::fromUtf8(kHelpCaption));
    pane_ = new QTextEdit;
    pane_->setObjectName(meterdesk::ui::control_name(ids::kHelpPane));
    pane_->setReadOnly(true);
    QPalette palette = pane_->palette();
    const meterdesk::Rgb colour = meterdesk::kInstallerHelpPane;
    palette.setColor(QPalette::Base, QColor(colour.red, colour.green, colour.blue));
    palette.setColor(QPalette::Text, Qt::black);
    pane_->setPalette(palette);
    auto *close = new QPushButton(tr("Close"));
    close->setObjectName(meterdesk::ui::control_name(ids::kHelpClose));
    connect(close, &QPushButton::clicked, this, &HelpBox::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pane_);
    layout->addLayout(buttons);
    resize(560, 420);

    if (auto document = load_installer_help(reader_, ui, source, topic))
        meterdesk::ui::fill_text_document(*pane_->document(), meterdesk::rtf::read(*document));
    pane_->moveCursor(QTextCursor::Start);
}

void HelpBox::reject() {
    reader_.close();
    QDialog::reject();
}

} // namespace sensor_setup::ui
