#include "meterdesk/gui/support/meter_app_fixture.h"

#include "meterdesk/ui/toolbar_set.h"

#include <QAction>
#include <QToolBar>

namespace meterdesk_test {

void MeterAppTest::click_button(int command_id) {
    QAction *action = window().toolbars().action(command_id);
    ASSERT_NE(action, nullptr) << command_id;
    QWidget *button = nullptr;
    for (int mode = 0; mode < meterdesk::ui::kToolbarCount && button == nullptr; ++mode) {
        if (QToolBar *bar = window().toolbars().toolbar(mode))
            button = bar->widgetForAction(action);
    }
    ASSERT_NE(button, nullptr) << command_id;
    ASSERT_TRUE(button->isVisible()) << command_id;
    QTest::mouseClick(button, Qt::LeftButton);
}

void MeterAppTest::screenshot(const std::string &name) {
    const std::filesystem::path folder = METERDESK_SCREENSHOT_DIR;
    std::filesystem::create_directories(folder);
    const auto file = folder / (name + ".png");
    EXPECT_TRUE(image().save(QString::fromStdString(file.string()))) << file;
}

int dark_pixels(const QImage &image, const QRect &area) {
    int count = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128) ++count;
    return count;
}

int pixels_of(const QImage &image, const QRect &area, QColor colour) {
    auto distance = [](QRgb a, QColor b) {
        const int dr = qRed(a) - b.red();
        const int dg = qGreen(a) - b.green();
        const int db = qBlue(a) - b.blue();
        return dr * dr + dg * dg + db * db;
    };
    int count = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            const int d = distance(p, colour);
            if (d < distance(p, Qt::white) && d < distance(p, Qt::black) &&
                d < distance(p, QColor(128, 128, 128)))
                ++count;
        }
    return count;
}

} // namespace meterdesk_test
