// What the formatters make of a format text, kept per text so that the cells
// of a sheet, which share a handful of formats, have each one scanned once.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>

// One table per thread and kind of entry. Entries stay until the thread ends;
// past `kMaxEntries` texts (a workbook of many thousand formats) a text is
// made into the caller's scratch entry instead, so that a reference handed
// out earlier never dangles.
template <class TEntry>
class TFormatCache {
public:
    static const size_t kMaxEntries = 4096;

    // The entry of `text`, made by make(text, entry) on first use.
    template <class TMake>
    static const TEntry& Get(const std::string& text, TEntry& scratch, TMake make)
    {
        thread_local std::unordered_map<std::string, TEntry> entries;
        auto found = entries.find(text);
        if (found != entries.end()) return found->second;
        if (entries.size() >= kMaxEntries) {
            make(text, scratch);
            return scratch;
        }
        TEntry entry;
        make(text, entry);
        return entries.emplace(text, std::move(entry)).first->second;
    }
};
