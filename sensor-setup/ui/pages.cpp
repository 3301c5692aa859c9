#include "sensor-setup/ui/pages.h"

#include "sensor-setup/core/control_ids.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace sensor_setup::ui {

using meterdesk::ui::control_name;

PageBox::PageBox(SetupState &state, QWidget *owner)
    : QDialog(owner), state_(state), controls_(*this) {
    setModal(true);
    setMinimumSize(460, 220);
}

void PageBox::place() {
    if (state_.placement) {
        const Placement &p = *state_.placement;
        setGeometry(p.x, p.y, p.width, p.height);
    }
}

void PageBox::done(int result) {
    const QRect rect = geometry();
    state_.placement = Placement{rect.x(), rect.y(), rect.width(), rect.height()};
    QDialog::done(result);
}

QLabel *PageBox::line(int id) {
    auto *label = new QLabel;
    label->setObjectName(control_name(id));
    label->setWordWrap(true);
    return label;
}

QPushButton *PageBox::button(int id, const QString &text) {
    auto *push = new QPushButton(text);
    push->setObjectName(control_name(id));
    push->setAutoDefault(false);
    return push;
}

UserInterfaceBox1::UserInterfaceBox1(SetupState &state, QWidget *owner)
    : PageBox(state, owner), page_(controls_) {
    setObjectName(QStringLiteral("UserInterfaceBox1"));
    auto *layout = new QVBoxLayout(this);
    layout->addStretch();
    for (int id : {ids::kWelcomeLine1, ids::kWelcomeLine2, ids::kWelcomeLine3}) {
        QLabel *label = line(id);
        label->setAlignment(Qt::AlignHCenter);
        layout->addWidget(label);
    }
    layout->addStretch();
    auto *buttons = new QHBoxLayout;
    QPushButton *cancel = button(ids::kWelcomeCancel, tr("Cancel"));
    QPushButton *next = button(ids::kWelcomeContinue, tr("Continue"));
    next->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(next);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(next, &QPushButton::clicked, this, [this] {
        if (page_.continue_pressed() == DialogAction::kClose) accept();
    });
    page_.open();
}

UserInterfaceBox2::UserInterfaceBox2(SetupState &state, SetupUi &ui, QWidget *owner)
    : PageBox(state, owner), page_(controls_, state, ui) {
    setObjectName(QStringLiteral("UserInterfaceBox2"));
    auto *desktop = new QCheckBox(tr("Create Desktop Shortcut"));
    desktop->setObjectName(control_name(ids::kDesktopShortcut));
    auto *menu = new QCheckBox(tr("Create Start Menu Shortcut"));
    menu->setObjectName(control_name(ids::kMenuShortcut));
    auto *path = new QLineEdit;
    path->setObjectName(control_name(ids::kTargetPath));
    // Only Browse changes the target.
    path->setReadOnly(true);
    QPushButton *browse = button(ids::kBrowse, tr("Browse"));
    QPushButton *help = button(ids::kOptionsHelp, tr("Help"));
    QPushButton *next = button(ids::kOptionsContinue, tr("Continue"));
    QPushButton *cancel = button(ids::kOptionsCancel, tr("Cancel"));
    next->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(desktop);
    layout->addWidget(menu);
    layout->addSpacing(12);
    auto *folder = new QHBoxLayout;
    folder->addWidget(path, 1);
    folder->addWidget(browse);
    layout->addLayout(folder);
    layout->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch();
    buttons->addWidget(next);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(desktop, &QCheckBox::clicked, this, [this] { page_.desktop_clicked(); });
    connect(menu, &QCheckBox::clicked, this, [this] { page_.menu_clicked(); });
    connect(browse, &QPushButton::clicked, this, [this] { page_.browse_pressed(); });
    connect(help, &QPushButton::clicked, this, [this] { page_.help_pressed(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(next, &QPushButton::clicked, this, [this] {
        if (page_.continue_pressed() == DialogAction::kClose) accept();
    });
    page_.open();
}

UserInterfaceBox3::UserInterfaceBox3(SetupState &state, SetupUi &ui, QWidget *owner)
    : PageBox(state, owner), page_(controls_, state, ui) {
    setObjectName(QStringLiteral("UserInterfaceBox3"));
    auto *layout = new QVBoxLayout(this);
    auto *important = new QLabel(tr("IMPORTANT"));
    important->setObjectName(control_name(ids::kImportant));
    QFont bold = important->font();
    bold.setBold(true);
    important->setFont(bold);
    important->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0);"));
    layout->addWidget(important);
    for (int id :
         {ids::kProgressLine1, ids::kProgressLine2, ids::kProgressLine3, ids::kProgressLine4})
        layout->addWidget(line(id));
    layout->addStretch();
    auto *buttons = new QHBoxLayout;
    QPushButton *help = button(ids::kProgressHelp, tr("Help"));
    QPushButton *finish = button(ids::kFinish, tr("Finish"));
    QPushButton *cancel = button(ids::kProgressCancel, tr("Cancel"));
    buttons->addWidget(help);
    buttons->addStretch();
    buttons->addWidget(finish);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(help, &QPushButton::clicked, this, [this] { page_.help_pressed(); });
    connect(finish, &QPushButton::clicked, this, [this] {
        if (page_.finish_pressed() == DialogAction::kClose) accept();
    });
    connect(cancel, &QPushButton::clicked, this, &UserInterfaceBox3::reject);
}

void UserInterfaceBox3::reject() {
    if (page_.cancel_pressed() == DialogAction::kClose) QDialog::reject();
}

} // namespace sensor_setup::ui
