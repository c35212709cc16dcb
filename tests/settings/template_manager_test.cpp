#include "settings/template_manager.h"

#include <string>
#include <utility>
#include <vector>

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
    void Fill() { model_.FillTemplateList(store_); }

    TempConfigFolder folder_;
    SettingsStore store_{folder_.Path()};
    std::vector<Save> saves_;
    TemplateManagerModel model_{
        [this](int number, const std::string& name) { saves_.emplace_back(number, name); }};
};

TEST_F(TemplateManagerTest, ListsEachTemplateOnTheRowOfItsNumberAndPassesOverOtherKeys) {
    for (bool withDefaultKey : {true, false}) {
        SCOPED_TRACE(withDefaultKey ? "with key 000" : "without key 000");
        store_.DeleteKey(Scope::Machine, kTemplatesKey);
        AddTemplates({1, 4});
        if (withDefaultKey) {
            AddTemplates({0});
        }
        // Only the names the program writes are read back by a load.
        for (const char* name : {"abc", "7", "0042", "256", "-01"}) {
            store_.WriteText(Scope::Machine, std::string(kTemplatesKey) + "\\" + name, "", name);
        }
        Fill();
        EXPECT_THAT(model_.Rows(),
                    ElementsAre("{Last default state}", "Name 1", "{Empty}", "{Empty}", "Name 4"));
        EXPECT_EQ(model_.Selected(), 0);
        EXPECT_EQ(model_.NameBox(), "{Last default state}");
        EXPECT_TRUE(model_.Buttons().cmdAdd);
    }
}

TEST_F(TemplateManagerTest, SelectedRowIsShownModifiedAndUsed) {
    AddTemplates({1});
    // A key without a name is no template: its row reads empty.
    store_.WriteNumber(Scope::Machine, TemplateKey(3), "Crop", 1);
    Fill();
    ASSERT_THAT(model_.Rows(), ElementsAre("{Last default state}", "Name 1", "{Empty}", ""));

    model_.Select(3);
    EXPECT_EQ(model_.Caption(), "Template number 3 highlighted");
    EXPECT_EQ(model_.NameBox(), "");
    EXPECT_FALSE(model_.Buttons().cmdUse);
    EXPECT_FALSE(model_.Buttons().cmdDelete);
    EXPECT_TRUE(model_.Buttons().cmdModify);

    model_.Select(1);
    EXPECT_EQ(model_.Caption(), "Template number 1 highlighted");
    EXPECT_EQ(model_.NameBox(), "Name 1");
    EXPECT_TRUE(model_.Buttons().cmdUse);
    EXPECT_TRUE(model_.Buttons().cmdDelete);

    model_.SetNameBox("");
    EXPECT_FALSE(model_.Buttons().cmdAdd);
    model_.Modify();  // an empty name saves nothing
    EXPECT_THAT(saves_, IsEmpty());
    model_.SetNameBox("Renamed");
    EXPECT_TRUE(model_.Buttons().cmdAdd);
    model_.Modify();
    EXPECT_THAT(saves_, ElementsAre(Save{1, "Renamed"}));
    EXPECT_EQ(model_.Rows()[1], "Renamed");
    EXPECT_EQ(model_.NameBox(), "");

    model_.SetNameBox("x");
    EXPECT_EQ(model_.Use(), 1);
    EXPECT_EQ(model_.NameBox(), "");
}

TEST_F(TemplateManagerTest, DeletedAndEmptyRowsAreNotReusedByAdd) {
    AddTemplates({0, 1, 2, 4});
    Fill();
    model_.Select(3);
    model_.Delete(store_);
    EXPECT_EQ(model_.Rows()[3], "{Empty}");  // there was nothing to delete
    model_.Select(2);
    model_.Delete(store_);
    EXPECT_EQ(model_.Rows()[2], "{Deleted}");
    EXPECT_EQ(store_.ReadText(Scope::Machine, TemplateKey(2), ""), "");
    EXPECT_EQ(model_.NameBox(), "");

    model_.SetNameBox("New");
    EXPECT_TRUE(model_.Add());
    EXPECT_THAT(saves_, ElementsAre(Save{5, "New"}));
    EXPECT_EQ(model_.Rows().size(), 6u);
    EXPECT_EQ(model_.Rows()[5], "New");
    EXPECT_EQ(model_.NameBox(), "");
    EXPECT_FALSE(model_.Buttons().cmdAdd);
}

TEST_F(TemplateManagerTest, AddTakesAnUnnamedRowInPlaceWithoutShiftingLaterRows) {
    AddTemplates({1, 3});
    store_.WriteNumber(Scope::Machine, TemplateKey(2), "Crop", 1);
    Fill();
    model_.SetNameBox("Fresh");
    EXPECT_TRUE(model_.Add());
    EXPECT_THAT(saves_, ElementsAre(Save{2, "Fresh"}));
    EXPECT_THAT(model_.Rows(), ElementsAre("{Last default state}", "Name 1", "Fresh", "Name 3"));
}

TEST_F(TemplateManagerTest, DeleteAllRemovesEveryListedTemplateAndEmptiesTheList) {
    AddTemplates({0, 1, 4});
    Fill();
    model_.DeleteAll(store_);
    EXPECT_THAT(model_.Rows(), IsEmpty());
    EXPECT_THAT(store_.ListSubkeys(Scope::Machine, kTemplatesKey), IsEmpty());
    EXPECT_EQ(model_.NameBox(), "");
    EXPECT_EQ(model_.Selected(), -1);
    EXPECT_FALSE(model_.Buttons().cmdUse);
    EXPECT_FALSE(model_.Buttons().cmdModify);
    EXPECT_FALSE(model_.Buttons().cmdDelete);

    // Nothing is selected any more, so nothing can be used or overwritten.
    EXPECT_EQ(model_.Use(), std::nullopt);
    model_.SetNameBox("Orphan");
    model_.Modify();
    model_.Delete(store_);
    EXPECT_THAT(saves_, IsEmpty());
}

TEST_F(TemplateManagerTest, AddStopsWhenAll256NumbersAreInUse) {
    Fill();
    for (int i = 1; i <= 255; ++i) {
        model_.SetNameBox("T" + std::to_string(i));
        ASSERT_TRUE(model_.Add());
    }
    EXPECT_EQ(saves_.back(), (Save{255, "T255"}));
    model_.SetNameBox("One too many");
    EXPECT_FALSE(model_.Add());
    EXPECT_EQ(saves_.size(), 255u);
    EXPECT_EQ(model_.Rows().size(), 256u);
    EXPECT_EQ(model_.NameBox(), "One too many");
}

}  // namespace
}  // namespace kestrel::settings
