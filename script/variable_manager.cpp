#include "script/variable_manager.h"

#include <chrono>

#include "script/variable_text.h"

namespace kaviro::script {

// Takes the store's lock for reading when the store is thread-safe.
class TVariableManager::ReadGuard {
public:
    explicit ReadGuard(const TVariableManager& store) : store_(store) {
        if (store_.threadSafe_) store_.lock_.lock();
    }
    ~ReadGuard() {
        if (store_.threadSafe_) store_.lock_.unlock();
    }
    ReadGuard(const ReadGuard&) = delete;
    ReadGuard& operator=(const ReadGuard&) = delete;

private:
    const TVariableManager& store_;
};

TVariableManager::TVariableManager(bool threadSafe) : threadSafe_(threadSafe) {}

const TVariableManager::Entry* TVariableManager::FindEntry(std::string_view name) const {
    if (name.empty()) return nullptr;
    const auto found = index_.find(name);
    return found == index_.end() ? nullptr : &entries_[found->second];
}

void TVariableManager::SetLocked(std::string_view name, std::string_view value) {
    if (name.empty()) return;
    const auto found = index_.find(name);
    if (found != index_.end()) {
        entries_[found->second].value.assign(value);
        return;
    }
    entries_.push_back(Entry{std::string(name), std::string(value)});
    index_.emplace(std::string(name), entries_.size() - 1);
}

void TVariableManager::Set(std::string_view name, std::string_view value) {
    std::lock_guard guard(lock_);
    SetLocked(name, value);
}

std::string TVariableManager::Get(std::string_view name) const {
    ReadGuard guard(*this);
    const Entry* entry = FindEntry(name);
    return entry ? entry->value : std::string();
}

bool TVariableManager::Exists(std::string_view name) const {
    ReadGuard guard(*this);
    return FindEntry(name) != nullptr;
}

std::optional<std::string> TVariableManager::Find(std::string_view name) const {
    ReadGuard guard(*this);
    const Entry* entry = FindEntry(name);
    if (!entry) return std::nullopt;
    return entry->value;
}

void TVariableManager::Clear() {
    std::lock_guard guard(lock_);
    entries_.clear();
    index_.clear();
}

std::size_t TVariableManager::Dump(TextList& list) const {
    ReadGuard guard(*this);
    list.clear();
    list.reserve(entries_.size() * 2);
    for (const Entry& entry : entries_) {
        list.push_back(entry.name);
        list.push_back(entry.value);
    }
    return list.size();
}

std::size_t TVariableManager::Count() const {
    ReadGuard guard(*this);
    return entries_.size();
}

void TVariableManager::Lock(bool force) const {
    if (force || threadSafe_) lock_.lock();
}

void TVariableManager::Unlock(bool force) const {
    if (force || threadSafe_) lock_.unlock();
}

std::string TVariableManager::Expand(std::string_view text) const { return ExpandText(text, false); }

std::string TVariableManager::ExpandQuoted(std::string_view text) const { return ExpandText(text, true); }

// The text still to scan is kept reversed, so that its next character is at
// the back: a replacement removes the reference from the back and pushes the
// value there, and everything before the scan position is final output.
// Each character is looked at a bounded number of times, so the work is
// linear in the text plus the inserted values. Every pending character
// carries the nesting level of the replacement that inserted it.
std::string TVariableManager::ExpandText(std::string_view text, bool quoted) const {
    if (text.find('$') == std::string_view::npos) return std::string(text);
    std::string output;
    output.reserve(text.size());
    std::string pending(text.rbegin(), text.rend());
    std::vector<uint8_t> depth(pending.size(), 0);
    std::string name;
    std::size_t inserted = 0;

    while (!pending.empty()) {
        const std::size_t opener = pending.rfind('$');
        if (opener == std::string::npos) {
            output.append(pending.rbegin(), pending.rend());
            break;
        }
        output.append(pending.rbegin(), pending.rbegin() + static_cast<std::ptrdiff_t>(pending.size() - 1 - opener));
        pending.resize(opener + 1);
        depth.resize(opener + 1);
        const std::size_t closing = opener == 0 ? std::string::npos : pending.rfind('$', opener - 1);
        if (closing == std::string::npos) {
            // No closing "$": the candidate name is empty and names nothing.
            output += '$';
            pending.pop_back();
            depth.pop_back();
            continue;
        }
        name.assign(pending.rbegin() + 1, pending.rbegin() + static_cast<std::ptrdiff_t>(opener - closing));
        const uint8_t level = depth[opener];
        bool replaced = false;
        if (level < kMaxExpansionDepth && inserted <= kMaxExpansionGrowth && !name.empty()) {
            ReadGuard guard(*this);
            if (const Entry* entry = FindEntry(name)) {
                pending.resize(closing);
                depth.resize(closing);
                if (quoted) pending += '"';
                pending.append(entry->value.rbegin(), entry->value.rend());
                if (quoted) pending += '"';
                depth.resize(pending.size(), static_cast<uint8_t>(level + 1));
                inserted += entry->value.size() + (quoted ? 2 : 0);
                replaced = true;
            }
        }
        if (!replaced) {
            // Not a variable: the closing "$" may open the next reference.
            output += '$';
            output += name;
            pending.resize(closing + 1);
            depth.resize(closing + 1);
        }
    }
    return output;
}

bool TVariableManager::IsProtectedLocked(std::string_view upperName) const {
    // The list alternates name and value lines; a match on a value line
    // (a value that happens to equal the name) does not protect, a later
    // name line that matches does.
    for (std::size_t i = 0; i < overrides_.size(); i += 2) {
        if (EqualsIgnoreCase(overrides_[i], upperName)) return true;
    }
    return false;
}

bool TVariableManager::IsProtected(std::string_view name) const {
    std::lock_guard guard(lock_);
    return IsProtectedLocked(name);
}

void TVariableManager::DefineVariable(std::string_view name, std::string_view value, std::string_view origin) {
    if (name.empty()) return;
    std::lock_guard guard(lock_);
    if (FindEntry(name)) {
        AssignVariable(name, value, origin);
        return;
    }
    SetLocked(name, value);
}

void TVariableManager::AssignVariable(std::string_view name, std::string_view value, std::string_view origin) {
    if (name.empty()) return;
    const std::string upperName = UpperCase(name);
    std::lock_guard guard(lock_);
    if (IsSilent() && origin != kOverrideOrigin && !overrides_.empty() && IsProtectedLocked(upperName)) return;
    SetLocked(upperName, value);
}

void TVariableManager::AssignIfDifferent(std::string_view name, std::string_view value, std::string_view origin) {
    {
        ReadGuard guard(*this);
        const Entry* entry = FindEntry(name);
        if (entry && entry->value == value) return;
    }
    AssignVariable(name, value, origin);
}

std::string TVariableManager::ReadVariableExpanded(std::string_view reference) const {
    const std::string name = NameFromReference(reference);
    const auto value = Find(name);
    if (!value) return std::string(kMissingVariableMarker);
    return Expand(*value);
}

std::string TVariableManager::ReadVariableExpandedOrEmpty(std::string_view reference) const {
    const auto value = Find(NameFromReference(reference));
    return value ? Expand(*value) : std::string();
}

namespace {

bool NeedsQuotes(std::string_view line) {
    for (char c : line) {
        if (static_cast<unsigned char>(c) <= ' ' || c == ',' || c == '"') return true;
    }
    return false;
}

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::string TVariableManager::SnapshotVariables() const {
    TextList lines;
    Dump(lines);
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += ',';
        const std::string& line = lines[i];
        if (!NeedsQuotes(line)) {
            text += line;
            continue;
        }
        text += '"';
        for (char c : line) {
            if (c == '"') text += '"';
            text += c;
        }
        text += '"';
    }
    return text;
}

void TVariableManager::RestoreVariables(std::string_view commaText) {
    TextList items;
    std::size_t p = 0;
    const std::size_t n = commaText.size();
    while (p < n && IsBlankOrControl(commaText[p])) ++p;
    while (p < n) {
        std::string item;
        if (commaText[p] == '"') {
            ++p;
            while (p < n) {
                if (commaText[p] == '"') {
                    if (p + 1 < n && commaText[p + 1] == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += commaText[p++];
            }
        } else {
            while (p < n && !IsBlankOrControl(commaText[p]) && commaText[p] != ',') item += commaText[p++];
        }
        items.push_back(std::move(item));
        while (p < n && IsBlankOrControl(commaText[p])) ++p;
        if (p < n && commaText[p] == ',') {
            ++p;
            if (p == n) items.emplace_back();  // a trailing comma ends with an empty item
            while (p < n && IsBlankOrControl(commaText[p])) ++p;
        }
    }
    std::lock_guard guard(lock_);
    entries_.clear();
    index_.clear();
    for (std::size_t i = 0; i + 1 < items.size(); i += 2) SetLocked(items[i], items[i + 1]);
}

void TVariableManager::ReportProgress(std::string_view text, int64_t minimum, int64_t maximum, int64_t position) {
    Set(kLastDelegateTick, std::to_string(CurrentTick()));
    if (text == "$VELK$") {
        // Keep the values on display: store them again as they are.
        Set(kThreadMax, Get(kThreadMax));
        Set(kThreadMin, Get(kThreadMin));
        Set(kThreadProgress, Get(kThreadProgress));
    } else if (position != -1) {
        Set(kThreadMax, std::to_string(maximum));
        Set(kThreadMin, std::to_string(minimum));
        Set(kThreadProgress, std::to_string(position));
    }
    if (text != "$IGNORE$") Set(kThreadProgressText, text);
}

bool TVariableManager::ThreadProgress(std::string_view text, int64_t minimum, int64_t maximum, int64_t position) {
    Set(kThreadProgressText, text);
    Set(kThreadMin, std::to_string(minimum));
    Set(kThreadMax, std::to_string(maximum));
    Set(kThreadProgress, std::to_string(position));
    return Get(kThreadCancelled) == kFalseText;
}

void TVariableManager::SetOverrideList(TextList overrides) {
    std::lock_guard guard(lock_);
    overrides_ = std::move(overrides);
}

TextList TVariableManager::OverrideList() const {
    std::lock_guard guard(lock_);
    return overrides_;
}

bool TVariableManager::CopyIfChanged(std::string_view name, std::string& cache) const {
    ReadGuard guard(*this);
    const Entry* entry = FindEntry(name);
    const std::string_view value = entry ? std::string_view(entry->value) : std::string_view();
    if (value == cache) return false;
    cache.assign(value);
    return true;
}

bool TVariableManager::ValueEquals(std::string_view name, std::string_view value) const {
    ReadGuard guard(*this);
    const Entry* entry = FindEntry(name);
    return entry && entry->value == value;
}

void TVariableManager::SetTickSource(TickSource source) {
    std::lock_guard guard(lock_);
    tickSource_ = std::move(source);
}

uint32_t TVariableManager::CurrentTick() const {
    {
        std::lock_guard guard(lock_);
        if (tickSource_) return tickSource_();
    }
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

TVariableManager& Variables() {
    static TVariableManager store(true);
    return store;
}

}  // namespace kaviro::script
