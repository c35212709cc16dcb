#include "settings/template_manager.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "settings/key_paths.h"
#include "settings/temp_config_folder.h"

namespace kestrel::settings {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Save = std::pair<int, std::string>;

class TemplateManagerTest : public ::testing::Test {
  protected:
    void AddTemplates(std::initializer_list<int> numbers) {
        for (int number : numbers) {
            store_.WriteText(Scope::Machine, TemplateKey(number), "",
                             "Name " + std::to_string(number));
        }
    }
    // Adds the templates and lists them, with template 3 a key without a name.
    void Fill(std::initializer_list<int> numbers, bool unnamed3 = false) {
        AddTemplates(numbers);
        if (unnamed3) {
            store_.WriteNumber(Scope::Machine, TemplateKey(3), "Crop", 1);
        }
        model_.FillTemplateList(store_);
    }
    // The enabled buttons that follow the selection: Use, Modify, Delete.
    std::string Enabled() const {
        const TemplateButtons b = model_.Buttons();
        return std::string(b.cmdUse ? "U" : "") + (b.cmdModify ? "M" : "") +
               (b.cmdDelete ? "D" : "");
    }

    TempConfigFolder folder_;
    SettingsStore store_{folder_.Path()};
    std::vector<Save> saves_;
    TemplateManagerModel model_{
        [this](int number, const std::string& name) { saves_.emplace_back(number, name); }};
};

// Without key 000 the first key is a user's template all the same.
TEST_F(TemplateManagerTest, ListsEachTemplateOnTheRowOfItsNumberAndPassesOverOtherKeys) {
    // Only the names the program writes are read back by a load.
    for (const char* name : {"abc", "7", "0042", "256", "-01"}) {
        store_.WriteText(Scope::Machine, std::string(kTemplatesKey) + "\\" + name, "", name);
    }
    Fill({1, 4});
    EXPECT_THAT(model_.Rows(),
                ElementsAre("{Last default state}", "Name 1", "{Empty}", "{Empty}", "Name 4"));
    EXPECT_EQ(model_.NameBox(), "{Last default state}");  // row 0 is selected
}

TEST_F(TemplateManagerTest, SelectedRowIsShownModifiedAndUsed) {
    Fill({1}, true);  // a key without a name is no template: its row reads empty
    ASSERT_THAT(model_.Rows(), ElementsAre("{Last default state}", "Name 1", "{Empty}", ""));
    model_.Select(3);
    EXPECT_EQ(model_.Caption(), "Template number 3 highlighted");
    EXPECT_EQ(model_.NameBox(), "");
    EXPECT_EQ(Enabled(), "M");

    model_.Select(1);
    EXPECT_EQ(model_.NameBox(), "Name 1");
    EXPECT_EQ(Enabled(), "UMD");
    model_.SetNameBox("");
    EXPECT_FALSE(model_.Buttons().cmdAdd);
    model_.Modify();  // an empty name saves nothing
    EXPECT_THAT(saves_, IsEmpty());
    model_.SetNameBox("Renamed");
    model_.Modify();
    EXPECT_THAT(saves_, ElementsAre(Save{1, "Renamed"}));
    EXPECT_EQ(model_.Rows()[1], "Renamed");
    EXPECT_EQ(model_.NameBox(), "");
    model_.SetNameBox("x");
    EXPECT_EQ(model_.Use(), 1);
    EXPECT_EQ(model_.NameBox(), "");
}

// "{Empty}" and "{Deleted}" rows keep their numbers; a row without a name takes one.
TEST_F(TemplateManagerTest, AddTakesOnlyAnUnnamedRowInPlaceAndOtherwiseTheNextNumber) {
    Fill({0, 1, 2, 5}, true);
    model_.Select(4);
    model_.Delete(store_);
    EXPECT_EQ(model_.Rows()[4], "{Empty}");  // there was nothing to delete
    model_.Select(2);
    model_.Delete(store_);
    EXPECT_EQ(model_.Rows()[2], "{Deleted}");
    EXPECT_EQ(store_.ReadText(Scope::Machine, TemplateKey(2), ""), "");
    for (const char* name : {"Fresh", "New"}) {
        model_.SetNameBox(name);
        EXPECT_TRUE(model_.Add());
    }
    EXPECT_THAT(saves_, ElementsAre(Save{3, "Fresh"}, Save{6, "New"}));
    EXPECT_THAT(model_.Rows(), ElementsAre("{Last default state}", "Name 1", "{Deleted}", "Fresh",
                                           "{Empty}", "Name 5", "New"));
    EXPECT_EQ(model_.NameBox(), "");
    EXPECT_FALSE(model_.Buttons().cmdAdd);
}

TEST_F(TemplateManagerTest, DeleteAllRemovesEveryListedTemplateAndEmptiesTheList) {
    Fill({0, 1, 4});
    model_.DeleteAll(store_);
    EXPECT_THAT(model_.Rows(), IsEmpty());
    EXPECT_THAT(store_.ListSubkeys(Scope::Machine, kTemplatesKey), IsEmpty());
    EXPECT_EQ(model_.NameBox(), "");
    EXPECT_EQ(model_.Selected(), -1);
    EXPECT_EQ(Enabled(), "");
    // Nothing is selected any more, so nothing can be used or overwritten.
    EXPECT_EQ(model_.Use(), std::nullopt);
    model_.SetNameBox("Orphan");
    model_.Modify();
    model_.Delete(store_);
    EXPECT_THAT(saves_, IsEmpty());
}

TEST_F(TemplateManagerTest, AddStopsWhenAll256NumbersAreInUse) {
    Fill({});
    for (int i = 1; i <= 255; ++i) {
        model_.SetNameBox("T" + std::to_string(i));
        ASSERT_TRUE(model_.Add());
    }
    model_.SetNameBox("One too many");
    EXPECT_FALSE(model_.Add());
    EXPECT_EQ(saves_.size(), 255u);
    EXPECT_EQ(saves_.back(), (Save{255, "T255"}));
    EXPECT_EQ(model_.Rows().size(), 256u);
    EXPECT_EQ(model_.NameBox(), "One too many");
}

}  // namespace
}  // namespace kestrel::settings
