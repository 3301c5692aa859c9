#include "meterdesk/ui/help_box.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/help_viewer.h"
#include "meterdesk/base/rtf_reader.h"
#include "meterdesk/widgets/rtf_text_document.h"

#include <QHBoxLayout>
#include <QPalette>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace meterdesk::ui {

HelpBox::HelpBox(AppState &state, Ui &ui, QWidget *owner,
                 std::vector<std::filesystem::path> shipped)
    : QDialog(owner), state_(state), ui_(ui), shipped_(std::move(shipped)) {
    setObjectName(QStringLiteral("HelpBox"));
    setModal(false);

    pane_ = new QTextEdit;
    pane_->setObjectName(QStringLiteral("helpPane"));
    pane_->setReadOnly(true);
    pane_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QPalette palette = pane_->palette();
    palette.setColor(QPalette::Base, QColor(kApplicationHelpPane.red, kApplicationHelpPane.green,
                                            kApplicationHelpPane.blue));
    palette.setColor(QPalette::Text, Qt::black);
    pane_->setPalette(palette);

    auto *close = new QPushButton(tr("Close"));
    close->setObjectName(QStringLiteral("closeButton"));
    connect(close, &QPushButton::clicked, this, &HelpBox::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pane_);
    layout->addLayout(buttons);
    resize(600, 480);
    // No topic yet: the reader is armed for the first document (HelpStreamReader starts so).
}

void HelpBox::show_current_topic() {
    show_topic(state_.help_topic);
}

int HelpBox::topic() const {
    return state_.help_topic;
}

void HelpBox::show_topic(int index) {
    state_.help_topic = index;
    const HelpView view = show_help_topic(reader_, ui_, state_.app_dir.get(), index, shipped_);
    if (view.title.empty()) return; // no such topic: nothing is loaded or shown
    pane_->clear();
    if (view.loaded) fill_text_document(*pane_->document(), rtf::read(view.rtf));
    pane_->moveCursor(QTextCursor::Start);
    setWindowTitle(QString::fromStdString(view.title));
    show();
    raise();
    activateWindow();
}

void HelpBox::reject() {
    reader_.close();
    QDialog::reject(); // hides; the window is kept for the next topic
}

} // namespace meterdesk::ui
