// The command line and the display check of meterdesk, and what the program does without a
// display.
#include "meterdesk/ui/app_options.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest/QTest>

#include <map>
#include <string>

namespace meterdesk_test {
namespace {

using meterdesk::ui::AppOptions;
using meterdesk::ui::parse_app_options;

TEST(AppOptions, SimulateAppDirHelpAndQtArguments) {
    AppOptions o = parse_app_options({"--simulate"});
    EXPECT_EQ(o.simulate, "default");
    o = parse_app_options(
        {"--simulate=/tmp/bench.conf", "--app-dir", "/srv/meter", "-platform", "offscreen"});
    EXPECT_EQ(o.simulate, "/tmp/bench.conf");
    EXPECT_EQ(o.app_dir, std::filesystem::path("/srv/meter"));
    EXPECT_EQ(o.qt_arguments, (std::vector<std::string>{"-platform", "offscreen"}));
    EXPECT_TRUE(parse_app_options({"--help"}).help);
    // A relative configuration file is pinned to the start-up folder.
    o = parse_app_options({"--simulate=bench.conf"});
    ASSERT_TRUE(o.simulate.has_value());
    EXPECT_TRUE(std::filesystem::path(*o.simulate).is_absolute());
}

TEST(AppOptions, MissingValuesAreErrors) {
    EXPECT_FALSE(parse_app_options({"--app-dir"}).error.empty());
    EXPECT_FALSE(parse_app_options({"--app-dir="}).error.empty());
    EXPECT_FALSE(parse_app_options({"--simulate="}).error.empty());
}

TEST(AppOptions, DisplayFromTheEnvironmentOrQtsPlatform) {
    auto env = [](std::map<std::string, std::string> values) {
        return [values](const char *name) -> std::optional<std::string> {
            auto it = values.find(name);
            if (it == values.end()) return std::nullopt;
            return it->second;
        };
    };
    EXPECT_FALSE(meterdesk::ui::display_available(env({})));
    EXPECT_TRUE(meterdesk::ui::display_available(env({{"DISPLAY", ":0"}})));
    EXPECT_TRUE(meterdesk::ui::display_available(env({{"WAYLAND_DISPLAY", "wayland-0"}})));
    EXPECT_TRUE(meterdesk::ui::display_available(env({{"QT_QPA_PLATFORM", "offscreen"}})));
    EXPECT_TRUE(meterdesk::ui::display_available(env({}), {"-platform", "offscreen"}));
}

TEST(MeterdeskProgram, WithoutADisplayItSaysHowToRunItAndFails) {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    program.setProcessEnvironment(environment);
    program.start(METERDESK_PROGRAM, {"--simulate"});
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_NE(program.exitCode(), 0);
    const QString said = QString::fromUtf8(program.readAllStandardError());
    EXPECT_TRUE(said.contains("no display")) << said.toStdString();
    EXPECT_TRUE(said.contains("xvfb-run meterdesk --simulate")) << said.toStdString();
    EXPECT_TRUE(said.contains("QT_QPA_PLATFORM=offscreen")) << said.toStdString();

    program.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    program.start(METERDESK_PROGRAM, {"--help"});
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(QString::fromUtf8(program.readAllStandardOutput()).contains("--simulate"));
}

TEST(MeterdeskProgram, StopsInOrderOnSigterm) {
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("QUORIX_HOME", QDir::tempPath() + "/meterdesk-sigterm-test");
    program.setProcessEnvironment(environment);
    program.start(METERDESK_PROGRAM, {"--simulate"});
    ASSERT_TRUE(program.waitForStarted(10000));
    QTest::qWait(1500); // splash and threads running
    ASSERT_EQ(program.state(), QProcess::Running);
    program.terminate(); // SIGTERM
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    QDir(QDir::tempPath() + "/meterdesk-sigterm-test").removeRecursively();
}

} // namespace
} // namespace meterdesk_test
