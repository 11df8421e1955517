#pragma once
// What the localization code needs of the rest of the engine, kept to a few
// calls so each side can be supplied by its owner: the engine message table
// and language table, the user's locale, and the variable store.

#include <string>
#include <string_view>

namespace kaviro::ui {

// The engine message table and the language names.
class EngineTexts {
  public:
    virtual ~EngineTexts() = default;
    // The text of message line n (1 to 115).
    [[nodiscard]] virtual std::string MessageText(int line) const = 0;
    // Replaces message texts from a message file (LoadMessageTable); raises on an unreadable file.
    virtual void LoadMessageFile(const std::string& path) = 0;
    // LanguageName of a Windows language identifier.
    [[nodiscard]] virtual std::string LanguageNameOf(int languageId) const = 0;
};

// The user's locale, as far as language preselection needs it.
class UserLocale {
  public:
    virtual ~UserLocale() = default;
    // The default language identifier of the user's default locale (LOCALE_IDEFAULTLANGUAGE).
    [[nodiscard]] virtual int UserDefaultLanguageId() const = 0;
};

// The variable store: reads, creation and protected assignment, each write
// with the context text that records where it came from.
class LocalizationVariables {
  public:
    virtual ~LocalizationVariables() = default;
    [[nodiscard]] virtual bool Exists(std::string_view name) const = 0;
    [[nodiscard]] virtual std::string GetVariable(std::string_view name) const = 0;
    virtual void DefineVariable(std::string_view name, std::string_view value, std::string_view context) = 0;
    // Protected assignment: keeps command-line overrides in silent runs.
    virtual void AssignVariable(std::string_view name, std::string_view value, std::string_view context) = 0;
    // $NAME$ references replaced by values.
    [[nodiscard]] virtual std::string Expand(std::string_view text) const = 0;
};

// Forwards to any store with the same five member functions (the engine's
// TVariableManager has them), so the wiring needs no glue of its own.
template <class Store>
class ForwardingVariables final : public LocalizationVariables {
  public:
    explicit ForwardingVariables(Store& store) : store_(store) {}
    [[nodiscard]] bool Exists(std::string_view name) const override { return store_.Exists(name); }
    [[nodiscard]] std::string GetVariable(std::string_view name) const override {
        return store_.GetVariable(name);
    }
    void DefineVariable(std::string_view name, std::string_view value, std::string_view context) override {
        store_.DefineVariable(name, value, context);
    }
    void AssignVariable(std::string_view name, std::string_view value, std::string_view context) override {
        store_.AssignVariable(name, value, context);
    }
    [[nodiscard]] std::string Expand(std::string_view text) const override { return store_.Expand(text); }

  private:
    Store& store_;
};

}  // namespace kaviro::ui
