// Corvane stand-in for the host's wx helper library.
#include "loom/columnstore.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSaveFile>

#include <wx/fileconf.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <climits>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <type_traits>

namespace
{
constexpr qint64 maxReadBytes = 64 * 1024 * 1024;

// Key encoding. wxFileConfig compares names case-insensitively, treats '/' and ".." as paths, a
// leading '!' as immutable, and escapes other characters on its own; so a key becomes a name of
// lower-case letters, digits, '-' and '.', with '_' before a letter that was upper case, "%hhhh"
// for other characters below 0x10000 and "*hhhhhhhh" for the rest. A prefix ("t" for tables,
// "c" for columns) keeps names non-empty and away from "." and "..".
constexpr char hexDigits[] = "0123456789abcdef";

using CodeUnit = std::make_unsigned_t<wchar_t>;

bool isLiteral(std::uint32_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

std::string encodeKey(char prefix, const wxString& key)
{
    std::string name(1, prefix);
    name.reserve(key.length() + 1);
    for (wxString::const_iterator it = key.begin(); it != key.end(); ++it) {
        const std::uint32_t c = static_cast<CodeUnit>(static_cast<wchar_t>(*it));
        if (isLiteral(c)) {
            name += static_cast<char>(c);
        } else if (c >= 'A' && c <= 'Z') {
            name += '_';
            name += static_cast<char>(c - 'A' + 'a');
        } else {
            const int digits = c < 0x10000 ? 4 : 8;
            name += digits == 4 ? '%' : '*';
            for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
                name += hexDigits[(c >> shift) & 0xF];
        }
    }
    return name;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Decodes a name written by encodeKey; false for anything else, including names that decode but
// that encodeKey would have written differently (two names for one key would be two records).
bool decodeKey(char prefix, const std::string& name, wxString* key)
{
    if (name.empty() || name[0] != prefix)
        return false;
    wxString result;
    for (std::size_t i = 1; i < name.size();) {
        const char c = name[i];
        if (isLiteral(static_cast<unsigned char>(c))) {
            result += wxUniChar(static_cast<wxChar>(c));
            ++i;
        } else if (c == '_') {
            if (i + 1 >= name.size() || name[i + 1] < 'a' || name[i + 1] > 'z')
                return false;
            result += wxUniChar(static_cast<wxChar>(name[i + 1] - 'a' + 'A'));
            i += 2;
        } else if (c == '%' || c == '*') {
            const std::size_t digits = c == '%' ? 4 : 8;
            if (i + digits >= name.size())
                return false;
            std::uint32_t value = 0;
            for (std::size_t d = 1; d <= digits; ++d) {
                const int h = hexValue(name[i + d]);
                if (h < 0)
                    return false;
                value = (value << 4) | static_cast<std::uint32_t>(h);
            }
            if (c == '%' && (isLiteral(value) || (value >= 'A' && value <= 'Z')))
                return false;
            if (c == '*' && value < 0x10000)
                return false;
            if (value > static_cast<std::uint32_t>(static_cast<CodeUnit>(-1)))
                return false;
            result += wxUniChar(static_cast<wxChar>(static_cast<CodeUnit>(value)));
            i += digits + 1;
        } else {
            return false;
        }
    }
    *key = result;
    return true;
}

wxString toWx(const std::string& ascii)
{
    return wxString::FromAscii(ascii.c_str());
}

std::string toAscii(const wxString& text)
{
    std::string result;
    result.reserve(text.length());
    for (wxString::const_iterator it = text.begin(); it != text.end(); ++it) {
        const CodeUnit c = static_cast<CodeUnit>(static_cast<wchar_t>(*it));
        result += c < 0x80 ? static_cast<char>(c) : '\x7f';
    }
    return result;
}

std::string formatRecord(int width, int position)
{
    return std::to_string(width) + ',' + std::to_string(position);
}

bool parseInt(const std::string& text, std::size_t begin, std::size_t end, int* value)
{
    bool negative = false;
    if (begin < end && text[begin] == '-') {
        negative = true;
        ++begin;
    }
    if (begin == end || end - begin > 10)
        return false;
    long long result = 0;
    for (std::size_t i = begin; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        result = result * 10 + (text[i] - '0');
    }
    if (negative)
        result = -result;
    if (result < INT_MIN || result > INT_MAX)
        return false;
    *value = static_cast<int>(result);
    return true;
}

bool parseRecord(const std::string& text, int* width, int* position)
{
    const std::size_t comma = text.find(',');
    return comma != std::string::npos && parseInt(text, 0, comma, width)
        && parseInt(text, comma + 1, text.size(), position);
}

std::string trimmed(const char* begin, const char* end)
{
    while (begin < end && (*begin == ' ' || *begin == '\t'))
        ++begin;
    while (end > begin && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\r'))
        --end;
    return std::string(begin, end);
}

using Records = std::map<std::string, std::map<std::string, std::string>>;

// Reads what it can of the file's text into records; false when anything in it was not a record
// of ours (the caller keeps such a file aside instead of rewriting it silently).
bool parseStore(const QByteArray& data, Records* records)
{
    bool clean = true;
    std::map<std::string, std::string>* group = nullptr;
    const char* pos = data.constData();
    const char* const end = pos + data.size();
    while (pos < end) {
        const char* lineEnd = static_cast<const char*>(memchr(pos, '\n', static_cast<std::size_t>(end - pos)));
        if (!lineEnd)
            lineEnd = end;
        const std::string line = trimmed(pos, lineEnd);
        pos = lineEnd + 1;
        if (line.empty() || line[0] == '#' || line[0] == ';')
            continue;
        wxString key;
        if (line[0] == '[') {
            const std::string name
                = line.size() >= 2 && line.back() == ']' ? line.substr(1, line.size() - 2) : std::string();
            if (decodeKey('t', name, &key)) {
                group = &(*records)[name];
            } else {
                group = nullptr;
                clean = false;
            }
            continue;
        }
        const std::size_t equals = line.find('=');
        int width = 0;
        int position = 0;
        if (!group || equals == std::string::npos) {
            clean = false;
            continue;
        }
        const std::string name = trimmed(line.data(), line.data() + equals);
        const std::string value = trimmed(line.data() + equals + 1, line.data() + line.size());
        if (!decodeKey('c', name, &key) || !parseRecord(value, &width, &position)) {
            clean = false;
            continue;
        }
        // A later duplicate wins, as a later edit would.
        const auto inserted = group->emplace(name, formatRecord(width, position));
        if (!inserted.second) {
            inserted.first->second = formatRecord(width, position);
            clean = false;
        }
    }
    return clean;
}

QString configDirectory()
{
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    // Relative values are invalid for XDG and would depend on the working directory.
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QLatin1String("/.config");
}

QString storeFilePath()
{
    return configDirectory() + QLatin1String("/corvane/columns.ini");
}

class ColumnStore
{
public:
    ~ColumnStore()
    {
        // Normal process exit: whatever is still pending reaches the file.
        std::lock_guard<std::mutex> lock(mutex);
        flushLocked();
    }

    std::mutex mutex;

    wxFileConfig& config()
    {
        if (!store)
            load();
        return *store;
    }

    void markChanged()
    {
        dirty = true;
        scheduleFlush();
    }

    // Records by their encoded names, which are also their names in the file.
    void write(const std::string& group, const std::string& entry, const std::string& value)
    {
        wxFileConfig& records = config();
        records.Write(wxT('/') + toWx(group) + wxT('/') + toWx(entry), toWx(value));
        records.SetPath(wxT("/"));
        // Pending even when this process already held the value: another process may have
        // stored a different one since, and this write is the later one.
        pending[group][entry] = value;
        markChanged();
    }

    bool flushLocked()
    {
        if (!store || !dirty)
            return true;
        if (keepOffDisk)
            return false;
        // Another process may have stored other records since this one read the file: the file's
        // records join what is known here, and only this process's own writes replace them.
        Records merged = snapshot();
        Records onDisk;
        if (readFile(&onDisk) == Damaged && !keepAside())
            return false;
        for (auto& group : onDisk) {
            for (auto& entry : group.second)
                merged[group.first][entry.first] = std::move(entry.second);
        }
        for (const auto& group : pending) {
            for (const auto& entry : group.second)
                merged[group.first][entry.first] = entry.second;
        }
        store = createConfig(merged);

        wxLogNull quiet;
        wxMemoryOutputStream out;
        if (!store->Save(out, wxConvUTF8))
            return false;
        const QByteArray bytes(
            static_cast<const char*>(out.GetOutputStreamBuffer()->GetBufferStart()), static_cast<int>(out.GetSize()));
        if (!QDir().mkpath(QFileInfo(filePath).absolutePath()))
            return false;
        QSaveFile file(filePath);
        // A short write shows only in flush(); commit() alone would rename the partial file.
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()
            || file.error() != QFileDevice::NoError) {
            file.cancelWriting();
            return false;
        }
        if (!file.commit())
            return false;
        pending.clear();
        dirty = false;
        return true;
    }

    void reset()
    {
        store.reset();
        pending.clear();
        dirty = false;
        keepOffDisk = false;
    }

private:
    enum FileState
    {
        Missing,
        Sound,
        Damaged
    };

    FileState readFile(Records* records) const
    {
        QFile file(filePath);
        if (!file.exists())
            return Missing;
        if (!file.open(QIODevice::ReadOnly))
            return Damaged;
        QByteArray data = file.read(maxReadBytes);
        bool clean = file.error() == QFileDevice::NoError && file.atEnd();
        file.close();
        if (!clean) {
            // Cut the unread rest at the last whole line.
            const int lastLine = data.lastIndexOf('\n');
            data.truncate(lastLine < 0 ? 0 : lastLine + 1);
        }
        clean = parseStore(data, records) && clean;
        return clean ? Sound : Damaged;
    }

    void load()
    {
        filePath = storeFilePath();
        pending.clear();
        dirty = false;
        keepOffDisk = false;
        Records records;
        const FileState state = readFile(&records);
        store = createConfig(records);
        if (state == Damaged && keepAside()) {
            // What could be read goes back into a sound file.
            markChanged();
        }
    }

    Records snapshot() const
    {
        Records records;
        wxString groupName;
        long groupCookie = 0;
        for (bool group = store->GetFirstGroup(groupName, groupCookie); group;
             group = store->GetNextGroup(groupName, groupCookie)) {
            const wxString path = wxT('/') + groupName;
            store->SetPath(path);
            wxString entryName;
            long entryCookie = 0;
            for (bool entry = store->GetFirstEntry(entryName, entryCookie); entry;
                 entry = store->GetNextEntry(entryName, entryCookie)) {
                records[toAscii(groupName)][toAscii(entryName)] = toAscii(store->Read(entryName, wxString()));
            }
            store->SetPath(wxT("/"));
        }
        return records;
    }

    static std::unique_ptr<wxFileConfig> createConfig(const Records& records)
    {
        wxLogNull quiet;
        wxMemoryInputStream empty("", 0);
        auto config = std::make_unique<wxFileConfig>(empty, wxConvUTF8);
        // Sorted input appends to wxFileConfig's sorted arrays instead of inserting into them.
        for (const auto& group : records) {
            const wxString groupPath = wxT('/') + toWx(group.first) + wxT('/');
            for (const auto& entry : group.second)
                config->Write(groupPath + toWx(entry.first), toWx(entry.second));
        }
        config->SetPath(wxT("/"));
        return config;
    }

    // Renames a damaged file aside; false when it cannot, and then the file is never written.
    bool keepAside()
    {
        QString aside = filePath + QLatin1String(".damaged");
        bool kept = false;
        for (int attempt = 1; attempt < 1000 && !kept; ++attempt) {
            if (!QFileInfo::exists(aside) && !QFileInfo(aside).isSymLink())
                kept = QFile::rename(filePath, aside);
            if (!kept)
                aside = filePath + QLatin1String(".damaged-") + QString::number(attempt);
        }
        if (kept) {
            qDebug() << "Column layout store damaged, kept aside as" << aside;
        } else {
            keepOffDisk = true;
            qDebug() << "Column layout store damaged and not writable, left untouched at" << filePath;
        }
        return kept;
    }

    void scheduleFlush()
    {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app)
            return;
        if (postRoutineApp != app) {
            // A flush queued to an application that is gone never runs.
            postRoutineApp = app;
            flushQueued = false;
            qAddPostRoutine(flushAtApplicationExit);
        }
        if (!flushQueued) {
            flushQueued = true;
            QMetaObject::invokeMethod(
                app,
                [this] {
                    std::lock_guard<std::mutex> lock(mutex);
                    flushQueued = false;
                    flushLocked();
                },
                Qt::QueuedConnection);
        }
    }

    static void flushAtApplicationExit() { lom::flushColumnStore(); }

    std::unique_ptr<wxFileConfig> store;
    Records pending;
    QString filePath;
    QPointer<QCoreApplication> postRoutineApp;
    bool dirty = false;
    bool flushQueued = false;
    bool keepOffDisk = false;
};

ColumnStore& columnStore()
{
    static ColumnStore instance;
    return instance;
}

wxString recordPath(const wxString& columnId, const wxString& parentId)
{
    return wxT('/') + toWx(encodeKey('t', parentId)) + wxT('/') + toWx(encodeKey('c', columnId));
}
}

namespace lom
{
void writeColumnDataToRegistry(const wxString& columnId, int width, int position, const wxString& parentId)
{
    ColumnStore& store = columnStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    wxLogNull quiet;
    store.write(encodeKey('t', parentId), encodeKey('c', columnId), formatRecord(width, position));
}

int readColumnDataFromRegistry(
    const wxString& columnId, int defaultWidth, int, bool& hidden, int& position, const wxString& parentId)
{
    ColumnStore& store = columnStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    wxLogNull quiet;
    wxString value;
    int storedWidth = 0;
    int storedPosition = 0;
    if (!store.config().Read(recordPath(columnId, parentId), &value)
        || !parseRecord(toAscii(value), &storedWidth, &storedPosition))
        return defaultWidth;
    hidden = storedWidth == 0;
    position = storedPosition;
    return storedWidth;
}

wxArrayString getSavedColumnDataList(const wxString& parentId)
{
    ColumnStore& store = columnStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    wxLogNull quiet;
    wxFileConfig& config = store.config();
    wxArrayString result;
    const wxString group = wxT('/') + toWx(encodeKey('t', parentId));
    // SetPath would create a missing group.
    if (!config.HasGroup(group))
        return result;
    config.SetPath(group);
    wxString name;
    long cookie = 0;
    for (bool more = config.GetFirstEntry(name, cookie); more; more = config.GetNextEntry(name, cookie)) {
        wxString key;
        if (decodeKey('c', toAscii(name), &key))
            result.Add(key);
    }
    config.SetPath(wxT("/"));
    return result;
}

bool flushColumnStore()
{
    ColumnStore& store = columnStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    return store.flushLocked();
}

void resetColumnStore()
{
    ColumnStore& store = columnStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    store.reset();
}

wxString columnStoreFilePath()
{
    const QString path = storeFilePath();
    return wxString(path.toStdWString());
}
}
