// Helpers of the Qt widget tests: running the event loop until a condition holds, and saving
// a picture of a widget into the build tree for a person to look at.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QString>
#include <QThread>
#include <QWidget>

#include <functional>

namespace meterdesk_test {

// Processes events until `condition` holds; false after `limit_ms`.
inline bool process_until(const std::function<bool()> &condition, int limit_ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > limit_ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

// Saves `widget` as <build>/screenshots/<name>.png; returns the path, or empty when it failed.
inline QString save_screenshot(QWidget &widget, const QString &name) {
#ifdef METERDESK_SCREENSHOT_DIR
    const QDir dir(QStringLiteral(METERDESK_SCREENSHOT_DIR));
    if (!dir.mkpath(QStringLiteral("."))) return {};
    const QString path = dir.filePath(name + QStringLiteral(".png"));
    return widget.grab().save(path) ? path : QString();
#else
    (void)widget;
    (void)name;
    return {};
#endif
}

} // namespace meterdesk_test
