#include "ui/message_table.h"

#include <fstream>
#include <iterator>

#include "engine/engine_error.h"
#include "engine/text_util.h"

namespace kaviro::ui {
namespace {

// Lines 1 to 90, then 112 to 115.
constexpr std::array<std::string_view, 90> kFirstDefaults{{
    "Please install the common controls update from Microsoft before attempting to install this product.",
    "Setup resource not found",
    "Setup resource decompression failure",
    "Setup database not found",
    "Runtime error in install: ",
    "bytes",
    "KB",
    "MB",
    "Attempting to get value of undefined variable ",
    "Attempting to set value of undefined variable ",
    "Copying: ",
    "Unable to copy installation data to local folders",
    "Downloading Web Media: ",
    "Unable to download installation data from the web",
    "Extracting Web Media: ",
    "Unable to extract installation data downloaded from the web",
    "Please locate your original setup sources to continue operation",
    "Original setup sources required to complete operation, sources not found",
    "General setup failure",
    "Runtime error in setup script:",
    "% complete",
    "bytes received",
    "Kaviro Wizard",
    "Kaviro is preparing the Kaviro Wizard which will install this application. Please wait.",
    "Retry Download?",
    "Downloading of installation data from the web has failed. Would you like to try again?",
    " Proxy Information (optional) ",
    "Proxy &Server:",
    "Proxy &Port:",
    "If you choose No, setup will exit. However, you will be able to resume your download from where it left "
    "off "
    "when you re-run setup.",
    "&Yes",
    "&No",
    "Retry Extraction?",
    "Extraction of installation data downloaded from the web has failed. What would you like to do?",
    "&Download a fresh copy of the installation data.",
    "Try to &extract the existing download data again.",
    "If you choose Cancel, setup will exit. Your existing download data will be preserved.",
    "&OK",
    "&Cancel",
    "Are you sure you want to cancel?",
    "Proxy &User:",
    "Proxy Pass&word:",
    "Fatal Error",
    "Error",
    "Warning",
    "Message",
    "Files in Use",
    "Out of Disk Space",
    "Downloading of installation data from the web has failed. Please make sure you are connected to the "
    "Internet.",
    "Would you like to:",
    "Try to &resume the broken download?",
    "Download a &new copy of the data instead?",
    "If you choose Cancel, setup will exit. However, you will be able to resume your download from where it "
    "left "
    "off when you re-run setup.",
    "",
    "Locating resource",
    "Connecting to",
    "Redirecting to",
    "Beginning data transfer",
    "Transferring data",
    "Finishing data transfer",
    "Beginning component download",
    "Installing components",
    "Finishing component download",
    "Resuming broken download",
    "Requesting data",
    "CLASSID available",
    "Download data recognized",
    "Saving download information",
    "Beginning synchronous operation",
    "Finishing synchronous operation",
    "Beginning data upload",
    "Uploading data",
    "Finishing data upload",
    "Protocol CLASSID",
    "Encoding",
    "Download data recognized and verified",
    "Class install location",
    "Decoding",
    "Loading data handler",
    "Content disposition attach",
    "Download data filtered",
    "CLSID can instantiate",
    "COM services unavailable",
    "Direct bind",
    "Unrecognized download data",
    "Detecting proxy information",
    "Accept ranges",
    "A previously executed setup still has pending operations on the system. Please restart your computer "
    "before "
    "attempting to install this product.",
    "Select Setup Language",
    "Please select the language to use during the installation:",
}};

constexpr std::array<std::string_view, 4> kLastDefaults{{
    "Unable to play Flash movie",
    "Will be &installed on local hard drive",
    "&Entire feature will be installed on local hard drive",
    "Entire feature will be &unavailable",
}};

const std::string kNoText;

}  // namespace

std::string_view DefaultMessage(int line) {
    if (line >= 1 && line <= message_line::kFirstIgnored - 1)
        return kFirstDefaults[line - 1];
    if (line > message_line::kLastIgnored && line <= kMessageBlockLines) {
        return kLastDefaults[line - message_line::kLastIgnored - 1];
    }
    return {};
}

MessageTable::MessageTable() {
    for (int line = 1; line <= kMessageBlockLines; ++line) texts_[line] = std::string(DefaultMessage(line));
}

const std::string& MessageTable::Text(int line) const {
    return IsMessageLine(line) ? texts_[line] : kNoText;
}

void MessageTable::Load(std::string_view fileText, std::string_view userLanguageName) {
    const std::vector<std::string> lines = SplitLines(fileText);
    std::size_t next = 0;
    const auto readBlock = [&] {
        for (int line = 1; line <= kMessageBlockLines && next < lines.size(); ++line, ++next) {
            if (IsMessageLine(line))
                texts_[line] = lines[next];
        }
    };
    readBlock();
    while (next < lines.size()) {
        const std::string& name = lines[next++];
        readBlock();
        if (EqualsIgnoreCase(name, userLanguageName))
            break;
    }
}

MessageTable& EngineMessages() {
    static MessageTable table;
    return table;
}

const std::string& Message(int line) {
    return EngineMessages().Text(line);
}

void LoadMessageTable(const std::string& path, const LocaleInfo& locale) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw EngineError("Cannot read the message file " + path);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        throw EngineError("Cannot read the message file " + path);
    EngineMessages().Load(text, LanguageName(locale.UserLanguageId(), locale));
}

}  // namespace kaviro::ui
