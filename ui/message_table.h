#pragma once
// The engine message table: the texts the engine shows itself, each with a
// compiled-in English default, addressed by its line number in a 115-line
// block of a message file. Lines 91 to 111 of a block carry no text.
//
// Message file: ANSI text, CRLF lines. One unnamed block of 115 lines, then
// any number of named blocks, each a language-name line followed by 115 lines.
// Loading takes the first block, then named blocks in order until the block
// of the user's language has been read; the table so holds the user's block
// when the file has one, otherwise the last block of the file. A file shorter
// than a block leaves the remaining texts as they were.

#include <array>
#include <string>
#include <string_view>

#include "ui/language_table.h"

namespace kaviro::ui {

inline constexpr int kMessageBlockLines = 115;

// Line numbers of the texts the engine refers to by name.
namespace message_line {
inline constexpr int kCommonControlsMissing = 1;
inline constexpr int kSetupResourceNotFound = 2;
inline constexpr int kSetupResourceDecompressionFailure = 3;
inline constexpr int kSetupDatabaseNotFound = 4;
inline constexpr int kRuntimeErrorInInstall = 5;
inline constexpr int kBytes = 6;
inline constexpr int kKilobytes = 7;
inline constexpr int kMegabytes = 8;
inline constexpr int kGetUndefinedVariable = 9;
inline constexpr int kSetUndefinedVariable = 10;
inline constexpr int kCopying = 11;
inline constexpr int kCopyFailed = 12;
inline constexpr int kDownloadingWebMedia = 13;
inline constexpr int kDownloadFailed = 14;
inline constexpr int kExtractingWebMedia = 15;
inline constexpr int kExtractionFailed = 16;
inline constexpr int kLocateSources = 17;
inline constexpr int kSourcesNotFound = 18;
inline constexpr int kGeneralSetupFailure = 19;
inline constexpr int kRuntimeErrorInScript = 20;
inline constexpr int kPercentComplete = 21;
inline constexpr int kBytesReceived = 22;
inline constexpr int kWizardCaption = 23;
inline constexpr int kPreparingWizard = 24;
inline constexpr int kOk = 38;
inline constexpr int kCancel = 39;
inline constexpr int kConfirmCancel = 40;
inline constexpr int kFatalError = 43;
inline constexpr int kError = 44;
inline constexpr int kWarning = 45;
inline constexpr int kMessage = 46;
inline constexpr int kFirstDownloadStatus = 55;
inline constexpr int kLastDownloadStatus = 87;
inline constexpr int kPendingOperations = 88;
inline constexpr int kSelectLanguageCaption = 89;
inline constexpr int kSelectLanguagePrompt = 90;
inline constexpr int kFirstIgnored = 91;
inline constexpr int kLastIgnored = 111;
inline constexpr int kFlashFailed = 112;
}  // namespace message_line

// True for the 94 line numbers that carry a text (1 to 90 and 112 to 115).
[[nodiscard]] constexpr bool IsMessageLine(int line) {
    return line >= 1 && line <= kMessageBlockLines &&
           (line < message_line::kFirstIgnored || line > message_line::kLastIgnored);
}

// The English default of a line ("" for lines that carry no text).
[[nodiscard]] std::string_view DefaultMessage(int line);

class MessageTable {
  public:
    MessageTable();  // every text at its default

    // The text of a line; "" for lines that carry no text or are out of range.
    [[nodiscard]] const std::string& Text(int line) const;

    // Replaces texts from message file text (see above) for the given user
    // language name.
    void Load(std::string_view fileText, std::string_view userLanguageName);

  private:
    std::array<std::string, kMessageBlockLines + 1> texts_;  // index 0 unused
};

// The process-wide table; it lives for the whole process and starts with the defaults.
MessageTable& EngineMessages();

// Shorthand for EngineMessages().Text(line).
[[nodiscard]] const std::string& Message(int line);

// Loads a message file into the process-wide table. The user's language is
// LanguageName of the user's default locale's language. Raises EngineError
// when the file cannot be read.
void LoadMessageTable(const std::string& path, const LocaleInfo& locale);

}  // namespace kaviro::ui
