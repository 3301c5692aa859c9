// The cal-factor table editor's logic against the simulated sensor: the lists by model, Edit,
// a selection, Enter with its range and what it hands to the library, Save Table with its
// outcomes (the editor stays open with its edits unless the write was verified), and a table
// that never goes into another sensor.
#include "meterdesk/settings/cf_table_editor.h"
#include "meterdesk/settings/support/settings_fixture.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/factory/cf_table_text.h"

#include <vector>

namespace {

using namespace meterdesk_test;
using meterdesk::DialogAction;
using Kind = UiCall::Kind;
namespace ids = meterdesk::cf_table_box;

class CfTableEditorTest : public SettingsTest {
  protected:
    CfTableEditorTest() {
        links.refresh_panel = [this] { ++panel_refreshed; };
        links.force_disconnect = [this] { ++disconnects; };
        links.takeover = {5ms, 3000ms};
        links.today = [] {
            std::tm date{};
            date.tm_mday = 5;
            date.tm_mon = 2;
            date.tm_year = 106;
            return date;
        };
    }

    void open() {
        editor = std::make_unique<meterdesk::CfTableEditor>(state, ui, links);
        editor->open(box);
    }
    void select(int index) {
        box.set_selection(ids::kFrequencyList, index);
        editor->selection_changed(box, ids::kFrequencyList);
    }
    DialogAction press(int id) { return editor->clicked(box, id); }
    // Enter with `text` in the cal factor edit; the messages it showed.
    std::vector<std::string> enter(const std::string &text) {
        box.set_text(ids::kFactorEdit, text);
        const auto mark = ui.size();
        press(ids::kEnter);
        return ui.message_texts(mark);
    }
    // The library's table entry `index`.
    double library_entry(int index) {
        meterdesk::SensorLease lease(state);
        std::int32_t count = 0;
        double frequencies[46] = {};
        double factors[46] = {};
        EXPECT_NE(SensorFreqCfTableQuery(lease.get(), &count, frequencies, factors), 0);
        return factors[index];
    }

    FakeControls box{ids::kTableList, ids::kEdit,      ids::kFrequencyList, ids::kFactorEdit,
                     ids::kEnter,     ids::kSaveTable, ids::kDone};
    meterdesk::CfTableEditorLinks links;
    std::unique_ptr<meterdesk::CfTableEditor> editor;
    int panel_refreshed = 0;
    int disconnects = 0;
};

TEST_F(CfTableEditorTest, OpeningListsTheTableOfTheModel) {
    connect(model_keys(0)); // RX1: 22 points from 9 kHz
    open();
    const auto lines = box.items(ids::kTableList);
    ASSERT_EQ(lines.size(), 22u);
    const auto labels = box.items(ids::kFrequencyList);
    ASSERT_EQ(labels.size(), 22u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i],
                  meterdesk::cf_table_line(state.cf_table_freq_hz[i], state.cf_table_factor[i], 0));
    }
    EXPECT_TRUE(lines[0].starts_with("9KHz\t")) << lines[0];
    EXPECT_TRUE(lines[5].starts_with("5.0MHz\t")) << lines[5];
    EXPECT_TRUE(lines[11].starts_with("50MHz\t")) << lines[11];
    EXPECT_EQ(labels[0], "9KHz");
    EXPECT_EQ(labels[5], "5.0MHz");
    EXPECT_EQ(labels[11], "50.0MHz");
    EXPECT_EQ(labels[21], "8.0GHz");
    for (int id : {ids::kFrequencyList, ids::kFactorEdit, ids::kEnter, ids::kSaveTable})
        EXPECT_FALSE(box.enabled(id)) << id;
    EXPECT_TRUE(box.enabled(ids::kEdit));
    EXPECT_EQ(state.cf_table_selected, -1);

    press(ids::kEdit);
    for (int id : {ids::kFrequencyList, ids::kFactorEdit, ids::kEnter, ids::kSaveTable})
        EXPECT_TRUE(box.enabled(id)) << id;

    connect(model_keys(3)); // RX4LO: 30 points from 10 MHz
    open();
    EXPECT_EQ(box.items(ids::kTableList).size(), 30u);
    EXPECT_EQ(box.items(ids::kFrequencyList)[1], "50MHz");
    EXPECT_EQ(box.items(ids::kFrequencyList)[29], "26.5GHz");
}

TEST_F(CfTableEditorTest, ModelsWithoutATableShowNoEntriesAndCannotEdit) {
    for (int model : {5, 6}) {
        connect(model_keys(0)); // a sensor with a table first
        connect(model_keys(model));
        open();
        EXPECT_TRUE(box.items(ids::kTableList).empty()) << model;
        EXPECT_TRUE(box.items(ids::kFrequencyList).empty()) << model;
        EXPECT_FALSE(box.enabled(ids::kEdit));
        EXPECT_FALSE(box.enabled(ids::kSaveTable));
        press(ids::kEdit);
        EXPECT_FALSE(box.enabled(ids::kSaveTable));
        const auto mark = ui.size();
        EXPECT_EQ(press(ids::kSaveTable), DialogAction::kStay);
        EXPECT_EQ(ui.size(), mark) << "nothing asked, nothing written";
    }
}

TEST_F(CfTableEditorTest, EnterChangesTheSelectedFactorInTheEditorAndTheLibrary) {
    connect(model_keys(0));
    open();
    press(ids::kEdit);
    EXPECT_TRUE(enter("120").empty()) << "nothing selected: nothing happens";
    EXPECT_EQ(box.focus(), 0);

    select(11); // 50 MHz, the frequency in use
    EXPECT_EQ(state.cf_table_selected, 11);
    EXPECT_EQ(box.focus(), ids::kFactorEdit);
    char shown[16];
    std::snprintf(shown, sizeof shown, "%.1f", state.cf_table_factor[11] * 100.0);
    EXPECT_EQ(box.text(ids::kFactorEdit), shown);

    const double before = library_entry(11);
    EXPECT_EQ(enter("49.9"), std::vector<std::string>{"Valid cal factor range: 50 to 150"});
    EXPECT_EQ(ui.of_kind(Kind::message).back().caption, "Cal Factor");
    EXPECT_EQ(library_entry(11), before);
    EXPECT_EQ(box.text(ids::kFactorEdit), "49.9");

    EXPECT_TRUE(enter("120").empty());
    EXPECT_EQ(editor->factors()[11], 1.2);
    EXPECT_EQ(state.cf_table_factor[11], 1.2);
    EXPECT_EQ(library_entry(11), 1.2);
    EXPECT_EQ(box.items(ids::kTableList)[11], "50MHz\t120.0%");
    // The factor in force at 50 MHz is now 1.2, and an open panel shows it.
    EXPECT_DOUBLE_EQ(state.cal_factor, 1.2);
    EXPECT_DOUBLE_EQ(library().cal_factor, 120.0);
    state.panel_open = true;
    EXPECT_TRUE(enter("130").empty());
    EXPECT_EQ(panel_refreshed, 1);

    // A manual cal factor stays in force.
    state.cal_from_table = false;
    state.cal_factor = 0.9;
    {
        meterdesk::SensorLease lease(state);
        SensorCalFactor(lease.get(), 90.0);
    }
    EXPECT_TRUE(enter("140").empty());
    EXPECT_DOUBLE_EQ(library().cal_factor, 90.0);
    EXPECT_EQ(state.cal_factor, 0.9);

    // Done keeps the entered factors in the library.
    EXPECT_EQ(press(ids::kDone), DialogAction::kClose);
    EXPECT_DOUBLE_EQ(library_entry(11), 1.4);
}

TEST_F(CfTableEditorTest, SaveTableDisconnectsOnlyAfterAVerifiedWrite) {
    connect(model_keys(1));
    open();
    press(ids::kEdit);
    select(3);
    ASSERT_TRUE(enter("111.5").empty());

    ui.script_answer(MessageAnswer::kCancel); // the question
    EXPECT_EQ(press(ids::kSaveTable), DialogAction::kStay);
    EXPECT_EQ(disconnects, 0);

    set("store_writes", "ignored");
    auto mark = ui.size();
    EXPECT_EQ(press(ids::kSaveTable), DialogAction::kStay);
    EXPECT_EQ(ui.message_texts(mark).back().substr(0, 19), "FLASH write failed.");
    EXPECT_EQ(disconnects, 0);
    EXPECT_EQ(editor->factors()[3], 1.115) << "the edits stay";
    EXPECT_TRUE(eventually([&] { return state.live_readout_enabled.load(); }));

    set("store_writes", "ok");
    mark = ui.size();
    EXPECT_EQ(press(ids::kSaveTable), DialogAction::kClose);
    EXPECT_EQ(disconnects, 1);
    EXPECT_EQ(ui.message_texts(mark),
              std::vector<std::string>{
                  "This action will permanently\nover-write existing table\nin sensor EE."});
}

TEST_F(CfTableEditorTest, ATableNeverGoesIntoAnotherSensor) {
    connect(model_keys(3) + "serial = RX200001\n");
    open();
    press(ids::kEdit);
    select(0);
    const std::string area = [] {
        std::string value(4096, '\0');
        value.resize(static_cast<std::size_t>(rfsim_get(0, "area.cft", value.data(), 4096)));
        return value;
    }();

    connect(model_keys(3) + "serial = RX200002\n");
    auto mark = ui.size();
    EXPECT_EQ(press(ids::kSaveTable), DialogAction::kClose);
    EXPECT_EQ(ui.message_texts(mark),
              std::vector<std::string>{"The sensor this table belongs to (serial RX200001) is no "
                                       "longer connected.\n\nNothing was written."});
    mark = ui.size();
    select(0);
    box.set_text(ids::kFactorEdit, "120");
    EXPECT_EQ(press(ids::kEnter), DialogAction::kClose);
    EXPECT_EQ(ui.message_texts(mark),
              std::vector<std::string>{"The sensor this table belongs to (serial RX200001) is no "
                                       "longer connected.\n\nNothing was changed."});
    EXPECT_NE(library_entry(0), 1.2);
    std::string now(4096, '\0');
    now.resize(static_cast<std::size_t>(rfsim_get(0, "area.cft", now.data(), 4096)));
    EXPECT_EQ(now, area);
    EXPECT_EQ(disconnects, 0);
}

} // namespace
