#pragma once
// The process-wide variable store: case-insensitive names that keep the
// spelling of their first assignment, text values, one recursive lock.
// Every write takes the lock; reads take it too while the store is
// thread-safe (the engine's instance always is). Worker threads publish
// progress and read cancellation only through this store.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/text_util.h"

namespace kaviro::script {

using TextList = std::vector<std::string>;

// Reserved variables: the protocol between the script thread, workers and timers.
inline constexpr std::string_view kThreadProgress = "VELK_thProgress";
inline constexpr std::string_view kThreadMax = "VELK_thMax";
inline constexpr std::string_view kThreadMin = "VELK_thMin";
inline constexpr std::string_view kThreadProgressText = "VELK_thProgressText";
inline constexpr std::string_view kThreadFinished = "VELK_thFinished";
inline constexpr std::string_view kThreadCancelled = "VELK_thCancelled";
inline constexpr std::string_view kIsCancelled = "VELK_IsCancelled";
inline constexpr std::string_view kLastDelegateTick = "VELK_LastDelegateTick";
inline constexpr std::string_view kLastActiveTick = "VELK_LastActiveTick";

inline constexpr std::string_view kOverrideOrigin = "Inject Override Command Line";

// Bounds of the rescan in Expand. A value inserted by a replacement is
// scanned again; references found in it sit one nesting level deeper than
// the reference they came from. A reference at nesting level
// kMaxExpansionDepth is left as it is, so a value that refers to itself
// (A = "$A$", or A = "$B$" with B = "$A$", or A = "x$A$") stops after that
// many rounds. kMaxExpansionGrowth caps the total text inserted by one
// expansion, so chains that double at every level stop as well; references
// met beyond it stay unexpanded.
inline constexpr int kMaxExpansionDepth = 32;
inline constexpr std::size_t kMaxExpansionGrowth = std::size_t{16} << 20;

class TVariableManager {
public:
    using TickSource = std::function<uint32_t()>;

    explicit TVariableManager(bool threadSafe = true);
    TVariableManager(const TVariableManager&) = delete;
    TVariableManager& operator=(const TVariableManager&) = delete;

    // Raw table operations.
    void Set(std::string_view name, std::string_view value);
    [[nodiscard]] std::string Get(std::string_view name) const;
    [[nodiscard]] bool Exists(std::string_view name) const;
    [[nodiscard]] std::optional<std::string> Find(std::string_view name) const;
    void Clear();
    // Clears the list, then appends name and value of every variable in table
    // (first assignment) order; returns the number of lines.
    std::size_t Dump(TextList& list) const;
    [[nodiscard]] std::size_t Count() const;

    // $NAME$ references replaced by values; the inserted values are scanned
    // again, and the closing "$" of a name that is not a variable may open
    // the next reference. Linear in the text size plus the inserted text.
    [[nodiscard]] std::string Expand(std::string_view text) const;
    // The same with every inserted value enclosed in double quotes (not escaped).
    [[nodiscard]] std::string ExpandQuoted(std::string_view text) const;

    void Lock(bool force = false) const;
    void Unlock(bool force = false) const;

    // Engine helpers.
    [[nodiscard]] std::string GetVariable(std::string_view name) const { return Get(name); }
    // Nothing for an empty name; an existing variable is assigned; a new one is created.
    void DefineVariable(std::string_view name, std::string_view value, std::string_view origin);
    // Name upper-cased; in a silent run a name from the override list keeps its
    // value unless the origin is "Inject Override Command Line".
    void AssignVariable(std::string_view name, std::string_view value, std::string_view origin);
    // Bare name or $NAME$: the expanded value, or "$VELKNX$" when missing.
    [[nodiscard]] std::string ReadVariableExpanded(std::string_view reference) const;
    // The same with empty text for a missing variable.
    [[nodiscard]] std::string ReadVariableExpandedOrEmpty(std::string_view reference) const;

    // The whole store as one comma text (plug-in exchange), and back.
    [[nodiscard]] std::string SnapshotVariables() const;
    void RestoreVariables(std::string_view commaText);

    // Progress publishing, callable from any thread.
    void ReportProgress(std::string_view text, int64_t minimum, int64_t maximum, int64_t position);
    // Stores the four values; true while VELK_thCancelled is exactly "FALSE".
    bool ThreadProgress(std::string_view text, int64_t minimum, int64_t maximum, int64_t position);

    // Silent override protection: the command-line list of alternating name
    // and value lines, and whether the run is silent.
    void SetOverrideList(TextList overrides);
    [[nodiscard]] TextList OverrideList() const;
    void SetSilent(bool silent) { silent_.store(silent, std::memory_order_relaxed); }
    [[nodiscard]] bool IsSilent() const { return silent_.load(std::memory_order_relaxed); }
    [[nodiscard]] bool IsProtected(std::string_view name) const;

    // Interpreter fast paths: no copy when nothing changed.
    // Copies the value (empty when missing) into cache when it differs; true when it did.
    bool CopyIfChanged(std::string_view name, std::string& cache) const;
    [[nodiscard]] bool ValueEquals(std::string_view name, std::string_view value) const;
    // AssignVariable that does nothing when the value is already in place.
    void AssignIfDifferent(std::string_view name, std::string_view value, std::string_view origin);

    void SetTickSource(TickSource source);
    [[nodiscard]] uint32_t CurrentTick() const;

private:
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const noexcept { return CaseInsensitiveHash{}(text); }
    };
    struct NameEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const noexcept { return EqualsIgnoreCase(a, b); }
    };
    struct Entry {
        std::string name;
        std::string value;
    };
    class ReadGuard;

    std::string ExpandText(std::string_view text, bool quoted) const;
    const Entry* FindEntry(std::string_view name) const;
    void SetLocked(std::string_view name, std::string_view value);
    bool IsProtectedLocked(std::string_view upperName) const;

    const bool threadSafe_;
    mutable std::recursive_mutex lock_;
    std::vector<Entry> entries_;
    std::unordered_map<std::string, std::size_t, NameHash, NameEqual> index_;
    TextList overrides_;
    std::atomic<bool> silent_{false};
    TickSource tickSource_;
};

// The engine's single store, created on first use and living for the process.
TVariableManager& Variables();

}  // namespace kaviro::script
