// Printing the screen: the placement on the page, and a print to a PDF file through the print
// dialog and the print thread.
#include "meterdesk/core/command_ids.h"
#include "meterdesk/gui/support/meter_app_fixture.h"
#include "meterdesk/ui/print_service.h"

#include <QAbstractPrintDialog>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace meterdesk_test {
namespace {

TEST(PrintPlacement, EightTenthsOfThePageWideWithATenthOfThatAsMargin) {
    // 4960 printable pixels (A4 at 600 dpi): W = 8 x 496 = 3968, margin 396.
    const meterdesk::ui::PrintPlacement p = meterdesk::ui::print_placement(4960, 594, 281);
    EXPECT_EQ(p.width, 3968);
    EXPECT_EQ(p.x, 396);
    EXPECT_EQ(p.y, 396);
    // The rows below the toolbar keep the screen's proportions.
    EXPECT_EQ(p.height, static_cast<int>(3968.0 / 594 * (281 - 28) + 0.5));
    EXPECT_EQ(meterdesk::ui::print_placement(4960, 0, 281).width, 0);
}

TEST_F(MeterAppTest, PrintingToAPdfFilePutsTheScreenOnAPage) {
    configure();
    start();
    ASSERT_TRUE(wait_measuring());
    ASSERT_TRUE(wait_next_readout());

    const auto pdf = home.path() / "screen.pdf";
    app->printing().set_default_output_file(QString::fromStdString(pdf.string()));
    WhenShown<QAbstractPrintDialog> dialog([](QAbstractPrintDialog &d) { d.accept(); });
    window().menu_action(meterdesk::kCmdPrint)->trigger();
    ASSERT_TRUE(dialog.fired());
    ASSERT_TRUE(app->printing().wait_idle(std::chrono::seconds(20)));
    EXPECT_EQ(app->printing().pages_printed(), 1);

    QFile file(QString::fromStdString(pdf.string()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_GT(bytes.size(), 5000);

    // Where poppler's renderer is installed, look at the page itself.
    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty()) return;
    const QString page = QString::fromStdString((home.path() / "page").string());
    ASSERT_EQ(QProcess::execute(pdftoppm, {"-png", "-r", "40", "-singlefile",
                                           QString::fromStdString(pdf.string()), page}),
              0);
    const QImage rendered(page + ".png");
    ASSERT_FALSE(rendered.isNull());
    EXPECT_GT(dark_pixels(rendered, rendered.rect()), 200);
    rendered.save(QString(METERDESK_SCREENSHOT_DIR) + "/printed_page.png");
}

} // namespace
} // namespace meterdesk_test
