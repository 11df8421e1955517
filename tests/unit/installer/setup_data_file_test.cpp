#include "installer/setup_data_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/engine_error.h"
#include "fake_variables.h"

namespace kaviro::installer {
namespace {

namespace fs = std::filesystem;

class SetupDataFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::path(::testing::TempDir()) / (std::string("kaviro_setup_data_") + info->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        path_ = (folder_ / "product.dat").string();
    }
    void TearDown() override { fs::remove_all(folder_); }

    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void Write(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    SetupDataContext Context(ComponentModel& model, test::FakeVariables& variables, std::string& mode) {
        return {model, variables, mode, "C:\\PROGRA~1\\DATA"};
    }

    // A model as a first-time run has it after the script defined its parts.
    static ComponentModel SampleModel() {
        ComponentModel model;
        model.MutableLists().sizeTable = {"VELK-PREDEF-COMPONENT", "1000", "TOOLS", "300"};
        model.DefineComponent("VELK-PREDEF-COMPONENT", "", true);
        model.DefineComponent("Tools", "Tools", true);
        model.DefineComponent("Tools\\Help", "Help", false);
        model.DefineComponent("Docs", "Docs", true);
        model.AppendDeleted("Docs");
        model.AppendHidden("Tools\\Help");
        model.AppendLocked("Tools");
        model.AddSavedVariable("Colour");
        model.AddSavedVariable("Notes");
        return model;
    }
    static void SampleVariables(test::FakeVariables& variables) {
        variables.values = {{"TARGETDIR", "C:\\Program Files\\Product"},
                            {"ALLUSERS", "1"},
                            {"STARTMENU", "Product"},
                            {"COLOUR", "blue"},
                            {"NOTES", "line one\r\nline two\nthree"},
                            {"OVERRIDECACHE", "FALSE"}};
    }

    fs::path folder_;
    std::string path_;
};

const char kSampleFile[] =
    "VELK-PREDEF-COMPONENT\r\nTools\r\nTools\\Help\r\nDocs\r\n$\r\n"
    "TRUE\r\nTRUE\r\nFALSE\r\nTRUE\r\n$\r\n"
    "Docs\r\n$\r\n"
    "Tools\\Help\r\n$\r\n"
    "Tools\r\n$\r\n"
    "VELK-PREDEF-COMPONENT\r\n1000\r\nTOOLS\r\n300\r\nTools\\Help\r\n0\r\nDocs\r\n0\r\n$\r\n"
    "C:\\Program Files\\Product\r\n1\r\nProduct\r\n";
const char kSampleVariables[] =
    "Colour\r\nblue\r\n"
    "Notes\r\nline one$NEWLINE$line two$NEWLINE$three\r\n"
    "VELK64WOW\r\nx64\r\n"
    "OVERRIDECACHE\r\nFALSE\r\n";

TEST_F(SetupDataFileTest, FullWriteHoldsEveryLineInOrder) {
    ComponentModel model = SampleModel();
    test::FakeVariables variables;
    SampleVariables(variables);
    std::string mode = "x64";

    SaveSetupData(Context(model, variables, mode), path_, /*fromScript=*/false, /*fullWrite=*/true);
    EXPECT_EQ(Read(path_), std::string(kSampleFile) + "C:\\PROGRA~1\\DATA\r\n" + kSampleVariables);

    SaveSetupData(Context(model, variables, mode), path_, /*fromScript=*/true, /*fullWrite=*/true);
    EXPECT_EQ(Read(path_), std::string(kSampleFile) + "\r\n" + kSampleVariables);
}

TEST_F(SetupDataFileTest, RoundTripRestoresModelVariablesAndMode) {
    ComponentModel saved = SampleModel();
    test::FakeVariables variables;
    SampleVariables(variables);
    std::string mode = "ia64";
    SaveSetupData(Context(saved, variables, mode), path_, false, true);

    ComponentModel loaded;
    test::FakeVariables restored;
    std::string loadedMode = "Win32";
    LoadSetupData(Context(loaded, restored, loadedMode), path_, /*merge=*/false, /*ignoreSizes=*/false);

    EXPECT_EQ(loaded.Lists().components, saved.Lists().components);
    EXPECT_EQ(loaded.Lists().states, saved.Lists().states);
    EXPECT_EQ(loaded.Lists().deleted, saved.Lists().deleted);
    EXPECT_EQ(loaded.Lists().hidden, saved.Lists().hidden);
    EXPECT_EQ(loaded.Lists().locked, saved.Lists().locked);
    EXPECT_EQ(loaded.Lists().sizeTable, saved.Lists().sizeTable);
    EXPECT_TRUE(loaded.Lists().descriptions.empty());  // descriptions are not stored
    EXPECT_EQ(loadedMode, "ia64");
    EXPECT_EQ(loaded.SavedVariables(), saved.SavedVariables());  // not OVERRIDECACHE

    EXPECT_EQ(restored.Get("TARGETDIR"), "C:\\Program Files\\Product");
    EXPECT_EQ(restored.Get("ALLUSERS"), "1");
    EXPECT_EQ(restored.Get("STARTMENU"), "Product");
    EXPECT_EQ(restored.Get("COLOUR"), "blue");
    // The loader keeps the marker; the variable store turns it back where needed.
    EXPECT_EQ(restored.Get("NOTES"), "line one$NEWLINE$line two$NEWLINE$three");
    EXPECT_EQ(restored.Get("OVERRIDECACHE"), "FALSE");
    EXPECT_FALSE(restored.Exists("VELK64WOW"));
    EXPECT_FALSE(restored.Exists("C:\\PROGRA~1\\DATA"));  // the tenth line is not a variable
    for (const auto& write : restored.writes) EXPECT_EQ(write.origin, "LoadComponents") << write.name;

    // The loaded selection is the installed base.
    loaded.TakeInstalledBaseSize();
    EXPECT_EQ(loaded.InstalledBaseSize(), 1300);
    EXPECT_EQ(loaded.SelectedSize(), 0);
}

TEST_F(SetupDataFileTest, PlainLoadAppendsAndCanIgnoreSizes) {
    Write(path_, std::string(kSampleFile) + "\r\n" + kSampleVariables);
    ComponentModel model;
    model.MutableLists().sizeTable = {"VELK-PREDEF-COMPONENT", "5"};
    model.DefineComponent("VELK-PREDEF-COMPONENT", "", true);
    test::FakeVariables variables;
    std::string mode = "Win32";
    LoadSetupData(Context(model, variables, mode), path_, false, /*ignoreSizes=*/true);
    EXPECT_EQ(model.Lists().components,
              (TextList{"VELK-PREDEF-COMPONENT", "VELK-PREDEF-COMPONENT", "Tools", "Tools\\Help", "Docs"}));
    EXPECT_EQ(model.Lists().states, (TextList{"TRUE", "TRUE", "TRUE", "FALSE", "TRUE"}));
    EXPECT_EQ(model.Lists().sizeTable, (TextList{"VELK-PREDEF-COMPONENT", "5"}));
    EXPECT_EQ(mode, "x64");
}

TEST_F(SetupDataFileTest, MergeTakesStatesOfKnownComponentsAndReplacesFlagSets) {
    Write(path_,
          "tools\r\nGhost\r\nDOCS\r\n$\r\nFALSE\r\nTRUE\r\nTRUE\r\n$\r\nGhost\r\n$\r\n$\r\nDOCS\r\n$\r\n"
          "TOOLS\r\n999\r\n$\r\nD:\\Target\r\n\r\nMenu\r\n\r\nColour\r\nred\r\nVELK64WOW\r\nx64\r\n"
          "OVERRIDECACHE\r\nTRUE\r\n");
    ComponentModel model;
    model.DefineComponent("Tools", "", true);
    model.DefineComponent("Docs", "", false);
    model.DefineComponent("Extras", "", true);
    model.AppendHidden("Extras");
    model.AppendLocked("Tools");
    test::FakeVariables variables;
    std::string mode = "Win32";
    LoadSetupData(Context(model, variables, mode), path_, /*merge=*/true, /*ignoreSizes=*/false);

    EXPECT_EQ(model.Lists().components, (TextList{"Tools", "Docs", "Extras"}));  // Ghost ignored
    EXPECT_EQ(model.Lists().states, (TextList{"FALSE", "TRUE", "TRUE"}));        // Extras kept its state
    EXPECT_EQ(model.Lists().deleted, (TextList{"Ghost"}));
    EXPECT_TRUE(model.Lists().hidden.empty());
    EXPECT_EQ(model.Lists().locked, (TextList{"DOCS"}));
    EXPECT_EQ(model.Lists().sizeTable,
              (TextList{"Tools", "0", "Docs", "0", "Extras", "0"}));  // sizes discarded
    EXPECT_EQ(variables.Get("TARGETDIR"), "D:\\Target");
    EXPECT_EQ(variables.Get("ALLUSERS"), "");
    EXPECT_EQ(variables.Get("COLOUR"), "red");
    EXPECT_EQ(variables.Get("OVERRIDECACHE"), "TRUE");
    EXPECT_EQ(model.SavedVariables(), (TextList{"Colour"}));
    EXPECT_EQ(mode, "x64");
}

TEST_F(SetupDataFileTest, ALoadedSelectionSurvivesRedefinition) {
    Write(path_, "Tools\r\n$\r\nFALSE\r\n$\r\n$\r\n$\r\n$\r\nTOOLS\r\n10\r\n$\r\n\r\n\r\n\r\n\r\n");
    ComponentModel model;
    test::FakeVariables variables;
    std::string mode = "Win32";
    LoadSetupData(Context(model, variables, mode), path_, false, false);
    model.DefineComponent("Tools", "", true);
    EXPECT_FALSE(model.GetComponentState("Tools"));
    EXPECT_EQ(model.Lists().sizeTable, (TextList{"TOOLS", "10"}));
}

TEST_F(SetupDataFileTest, UpdateKeepsOldSectionsAndWritesCurrentVariables) {
    const std::string oldHead = std::string(kSampleFile) + "C:\\OLD~1\r\n";
    Write(path_, oldHead + "Gone\r\nold\r\nVELK64WOW\r\nWin32\r\nOVERRIDECACHE\r\n\r\n");
    ComponentModel model;  // the current model differs; the update keeps the file's
    model.DefineComponent("Other", "", true);
    model.AddSavedVariable("Colour");
    test::FakeVariables variables;
    variables.values = {{"TARGETDIR", "Z:\\new"}, {"COLOUR", "green"}, {"OVERRIDECACHE", "TRUE"}};
    std::string mode = "x64";
    SaveSetupData(Context(model, variables, mode), path_, false, /*fullWrite=*/false);
    EXPECT_EQ(Read(path_), oldHead + "Colour\r\ngreen\r\nVELK64WOW\r\nx64\r\nOVERRIDECACHE\r\nTRUE\r\n");
    EXPECT_FALSE(fs::exists(path_ + ".dat"));
}

TEST_F(SetupDataFileTest, UpdateOfAMissingFileWritesNothingAndLoadOfOneChangesNothing) {
    ComponentModel model = SampleModel();
    test::FakeVariables variables;
    std::string mode = "x64";
    SaveSetupData(Context(model, variables, mode), path_, false, false);
    EXPECT_FALSE(fs::exists(path_));
    EXPECT_FALSE(fs::exists(path_ + ".dat"));
    const ComponentLists before = model.Lists();
    LoadSetupData(Context(model, variables, mode), path_, false, false);
    LoadSetupData(Context(model, variables, mode), path_, true, false);
    EXPECT_EQ(model.Lists().components, before.components);
    EXPECT_EQ(model.Lists().locked, before.locked);
    EXPECT_TRUE(variables.writes.empty());
    EXPECT_EQ(mode, "x64");
}

TEST_F(SetupDataFileTest, UpdateCompletesAFileCutShort) {
    Write(path_, "Tools\r\n$\r\nTRUE\r\n");
    ComponentModel model;
    model.AddSavedVariable("Colour");
    test::FakeVariables variables;
    variables.values = {{"COLOUR", "green"}};
    std::string mode = "Win32";
    SaveSetupData(Context(model, variables, mode), path_, false, false);
    EXPECT_EQ(Read(path_),
              "Tools\r\n$\r\nTRUE\r\n$\r\n$\r\n$\r\n$\r\n$\r\n\r\n\r\n\r\n\r\n"
              "Colour\r\ngreen\r\nVELK64WOW\r\nWin32\r\nOVERRIDECACHE\r\n\r\n");
    // And it reads back with its variable in place.
    ComponentModel loaded;
    test::FakeVariables restored;
    LoadSetupData(Context(loaded, restored, mode), path_, false, false);
    EXPECT_EQ(loaded.Lists().components, (TextList{"Tools"}));
    EXPECT_EQ(restored.Get("COLOUR"), "green");
}

TEST_F(SetupDataFileTest, DamagedFilesLoseNothingElse) {
    struct Case {
        const char* name;
        std::string bytes;
        TextList components;
        TextList states;
        TextList locked;  // after a merge
        std::string targetDir;
        std::string colour;
    };
    const std::string full = std::string(kSampleFile) + "\r\n" + kSampleVariables;
    const Case cases[] = {
        {"empty file", "", {}, {}, {"Keep"}, "kept", "kept"},
        {"inside the components", "Tools\r\nDo", {"Tools", "Do"}, {}, {"Keep"}, "kept", "kept"},
        {"inside the states", "Tools\r\n$\r\nFALSE\r\n", {"Tools"}, {"FALSE"}, {"Keep"}, "kept", "kept"},
        {"before the variables",
         full.substr(0, std::string(kSampleFile).find("C:\\Program")),
         {"VELK-PREDEF-COMPONENT", "Tools", "Tools\\Help", "Docs"},
         {"TRUE", "TRUE", "FALSE", "TRUE"},
         {"Tools"},
         "kept",
         "kept"},
        {"after the target folder",
         std::string(kSampleFile).substr(0, std::string(kSampleFile).find("1\r\nProduct")),
         {"VELK-PREDEF-COMPONENT", "Tools", "Tools\\Help", "Docs"},
         {"TRUE", "TRUE", "FALSE", "TRUE"},
         {"Tools"},
         "C:\\Program Files\\Product",
         "kept"},
        {"a name without its value",
         std::string(kSampleFile) + "\r\nColour\r\n",
         {"VELK-PREDEF-COMPONENT", "Tools", "Tools\\Help", "Docs"},
         {"TRUE", "TRUE", "FALSE", "TRUE"},
         {"Tools"},
         "C:\\Program Files\\Product",
         "kept"},
        {"no line end at the end",
         full.substr(0, full.size() - 2),
         {"VELK-PREDEF-COMPONENT", "Tools", "Tools\\Help", "Docs"},
         {"TRUE", "TRUE", "FALSE", "TRUE"},
         {"Tools"},
         "C:\\Program Files\\Product",
         "blue"},
        {"bare line feeds",
         "Tools\n$\nTRUE\n$\n$\n$\n$\n$\nT\n\n\n\nColour\nblue\n",
         {"Tools"},
         {"TRUE"},
         {},
         "T",
         "blue"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Write(path_, c.bytes);
        {
            ComponentModel model;
            test::FakeVariables variables;
            variables.values = {{"TARGETDIR", "kept"}, {"COLOUR", "kept"}};
            std::string mode = "Win32";
            LoadSetupData(Context(model, variables, mode), path_, false, false);
            EXPECT_EQ(model.Lists().components, c.components);
            EXPECT_EQ(model.Lists().states, c.states);
            EXPECT_EQ(variables.Get("TARGETDIR"), c.targetDir);
            EXPECT_EQ(variables.Get("COLOUR"), c.colour);
            for (std::size_t i = 0; i < model.Lists().components.size(); ++i) {
                (void)model.GetComponentState(model.Lists().components[i]);
            }
        }
        {
            ComponentModel model;
            model.DefineComponent("Tools", "", true);
            model.AppendLocked("Keep");
            test::FakeVariables variables;
            std::string mode = "Win32";
            LoadSetupData(Context(model, variables, mode), path_, true, false);
            EXPECT_EQ(model.Lists().locked, c.locked);
        }
    }
}

TEST_F(SetupDataFileTest, ANonNumericSizeLineFailsOnlyTheLookupOfThatName) {
    Write(path_,
          "A\r\nB\r\n$\r\nTRUE\r\nTRUE\r\n$\r\n$\r\n$\r\n$\r\nA\r\nmany\r\nB\r\n7\r\n$\r\nT\r\n\r\n\r\n\r\n");
    ComponentModel model;
    test::FakeVariables variables;
    std::string mode = "Win32";
    LoadSetupData(Context(model, variables, mode), path_, false, false);
    EXPECT_EQ(variables.Get("TARGETDIR"), "T");
    EXPECT_EQ(model.ComponentSize("B"), 7);
    EXPECT_THROW((void)model.ComponentSize("A"), EngineError);
    EXPECT_THROW(model.TakeInstalledBaseSize(), EngineError);
    EXPECT_EQ(model.InstalledBaseSize(), 0);
}

TEST_F(SetupDataFileTest, WriteFailureRaisesAnEngineError) {
    ComponentModel model;
    test::FakeVariables variables;
    std::string mode = "Win32";
    const std::string inMissingFolder = (folder_ / "missing" / "product.dat").string();
    EXPECT_THROW(SaveSetupData(Context(model, variables, mode), inMissingFolder, true, true), EngineError);
}

}  // namespace
}  // namespace kaviro::installer
