#pragma once

#include <map>
#include <string>

namespace cocos2d {

// The key-value store of saved progress: one XML file, "UserDefault.xml" in the file
// utilities' writable path (which carries the application name, so one file per game).
//
// The file is read once, when the shared store is created; a missing file gives an empty
// store. A damaged file's bytes are kept aside ("<file>.damaged-<n>", logged) and every
// entry that reads whole on its own is kept and written over it at once (damage to one
// entry costs that entry only); until that write is whole on disk the damaged file stays
// where it is, to be salvaged again. A file past 64 MiB is damage too: the entries of its
// first 64 MiB are salvaged so, and it is kept aside whole. An entry without a
// key, or whose key or value is not UTF-8 text that XML allows, is damage too: it is
// dropped with one line. So the file written back is always well-formed UTF-8 XML; a
// setter given such text stores nothing (logged). Something at the path that cannot be
// read at all (a directory, a file without read permission) is left alone: the values
// then live in memory only and flush() refuses to overwrite it.
// Setters change only the values in memory: nothing reaches the disk until flush() (the
// game flushes after important writes and when it goes to the background), and
// purgeSharedUserDefault() flushes what is still unwritten.
// flush() writes a temporary file beside the store (made afresh: a stale one or a link at
// its name is removed first), syncs it and renames it over the old file, so an
// interrupted save leaves the previous file whole.
//
// Values are kept as text: a getter for a key that is absent, or whose text is not of
// the asked type, answers the default. Single-threaded, like the rest of the engine.
class CCUserDefault {
public:
    static CCUserDefault* sharedUserDefault();
    // Flushes unwritten changes and drops the shared store; the next
    // sharedUserDefault() reads the file again (from the writable path of that time).
    static void purgeSharedUserDefault();

    bool getBoolForKey(const char* key);
    bool getBoolForKey(const char* key, bool defaultValue);
    int getIntegerForKey(const char* key);
    int getIntegerForKey(const char* key, int defaultValue);
    float getFloatForKey(const char* key);
    float getFloatForKey(const char* key, float defaultValue);
    double getDoubleForKey(const char* key);
    double getDoubleForKey(const char* key, double defaultValue);
    std::string getStringForKey(const char* key);
    std::string getStringForKey(const char* key, const std::string& defaultValue);

    void setBoolForKey(const char* key, bool value);
    void setIntegerForKey(const char* key, int value);
    void setFloatForKey(const char* key, float value);
    void setDoubleForKey(const char* key, double value);
    void setStringForKey(const char* key, const std::string& value);

    // Writes every value to the store file atomically. False (and a log line) when the
    // file could not be written; the old file is then untouched and the values stay
    // pending for the next flush.
    bool flush();

    // A value its reader found damaged (text that is not of the value's kind): one line
    // naming the key and why, the store file kept aside as it stands (once a run; the
    // damaged copy of the load, if there was one, serves), and the value dropped, so that
    // the next flush writes the store without it. Where no copy can be kept the value stays
    // stored as it is. False when nothing was dropped (an absent key, or no copy kept).
    bool dropDamaged(const char* key, const std::string& why);

    // Why this run's progress cannot be saved, found when the store was read: the store
    // file cannot be read or kept aside, its folder cannot be made or written to, or its
    // disk is full.
    // Empty when a flush can write it.
    const std::string& unsaveableReason() const { return m_unsaveable; }

    // Progress reset: removes the store file and forgets every value in memory.
    // False when a file that exists could not be removed.
    bool deleteStore();

    // The store file this process uses now: writable path + "UserDefault.xml".
    static std::string getXMLFilePath();
    static bool isXMLFileExist();

private:
    explicit CCUserDefault(std::string path);
    void load();
    const std::string* find(const char* key) const;
    void logDropped(const std::string& key, const std::string& why) const;
    void set(const char* key, std::string text);

    // The file this store was read from and writes to.
    std::string m_path;
    std::map<std::string, std::string> m_values;
    bool m_dirty = false;
    // The file at m_path could not be read: it is never overwritten in this run.
    bool m_readOnly = false;
    // The damaged copy kept aside in this run; empty for none.
    std::string m_aside;
    std::string m_unsaveable;
};

} // namespace cocos2d
