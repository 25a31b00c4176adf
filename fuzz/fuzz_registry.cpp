// Properties, for any bytes read as a .reg file of HKEY_LOCAL_MACHINE and as the shadow store:
// no crash; a document written and read again gives every value it gave before; a value set
// reads back as set and leaves every other entry as it was. Keys, names and values are those
// the registry's and the store's callers can give and get: Windows-1252 text without line
// breaks or NULs.
#include "common/Registry.h"
#include "platform/Ansi.h"
#include "platform/registry/RegFile.h"

#include "FuzzCheck.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringList>

#include <fuzzer/FuzzedDataProvider.h>

#include <optional>
#include <vector>

using orla::regfile::RegDocument;

namespace {

const QString kRoot = QStringLiteral("HKEY_LOCAL_MACHINE");

struct Entry {
    QString path;
    QString name;
};

bool Same(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A text as the registry's and the store's writers take it.
QString Setting(FuzzedDataProvider& input) {
    QByteArray bytes = QByteArray::fromStdString(input.ConsumeRandomLengthString(40));
    bytes.replace('\0', 'x').replace('\r', 'x').replace('\n', 'x');
    return orla::FromAnsi(bytes);
}

bool Expressible(const QString& text) {
    return orla::AnsiText(text) == text && !text.contains(u'\0') && !text.contains(u'\r');
}

// A value as the registry's callers get it: in Windows-1252.
std::optional<QString> Got(const std::optional<QString>& value) {
    return value ? std::optional(orla::AnsiText(*value)) : std::nullopt;
}

// The keys and value names the file seems to hold, found roughly: they are only asked for.
std::vector<Entry> Entries(const QString& text) {
    std::vector<Entry> entries{{QString(), QString()}};
    QString path;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']') && line.size() >= 2) {
            path = line.mid(1, line.size() - 2);
            if (path.startsWith(kRoot + u'\\', Qt::CaseInsensitive))
                path = path.mid(kRoot.size() + 1);
            else if (Same(path, kRoot))
                path.clear();
        } else if (line.startsWith(u'"')) {
            entries.push_back({path, line.mid(1, line.indexOf(QLatin1String("\"="), 1) - 1)});
        } else if (line.startsWith(u'@')) {
            entries.push_back({path, QString()});
        } else if (const qsizetype colon = line.indexOf(u':'); colon > 0) {
            // A shadow store line: key path:name=value.
            entries.push_back({line.left(colon), line.mid(colon + 1).section(u'=', 0, 0)});
        }
    }
    std::erase_if(entries,
                  [](const Entry& e) { return !Expressible(e.path) || !Expressible(e.name); });
    return entries;
}

void RegFileRoundTrip(const QByteArray& bytes, const std::vector<Entry>& entries,
                      FuzzedDataProvider& input) {
    RegDocument document = RegDocument::Parse(bytes, kRoot);
    const RegDocument again = RegDocument::Parse(document.Serialize(), kRoot);
    for (const Entry& e : entries) {
        FUZZ_CHECK(document.HasKey(e.path) == again.HasKey(e.path));
        FUZZ_CHECK(Got(document.Value(e.path, e.name)) == Got(again.Value(e.path, e.name)));
    }
    // A value written into an existing key (or the root): the registry opens no other.
    Entry target = entries[input.ConsumeIntegralInRange<size_t>(0, entries.size() - 1)];
    if (!document.HasKey(target.path))
        target.path.clear();
    const QString name = input.ConsumeBool() ? target.name : Setting(input);
    const QString text = Setting(input);
    document.SetValue(target.path, name, text);
    const RegDocument written = RegDocument::Parse(document.Serialize(), kRoot);
    if (written.Value(target.path, name) != text)
        std::fprintf(
            stderr, "path [%s] name [%s] text [%s] read [%s]\n", qPrintable(target.path),
            qPrintable(name), qPrintable(text),
            qPrintable(written.Value(target.path, name).value_or(QStringLiteral("(none)"))));
    FUZZ_CHECK(written.Value(target.path, name) == text);
    for (const Entry& e : entries) {
        if (Same(e.path, target.path) && Same(e.name, name))
            continue;
        FUZZ_CHECK(Got(written.Value(e.path, e.name)) == Got(again.Value(e.path, e.name)));
    }
}

// The shadow store: its file holds the bytes, then one value is written through it.
void ShadowRoundTrip(const QByteArray& bytes, const std::vector<Entry>& entries,
                     FuzzedDataProvider& input) {
    const QString store =
        orla::fuzz::PrivateFolder() + QStringLiteral("/Nexo Software/RegShadow.db");
    {
        QFile file(store);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(bytes) == bytes.size());
    }
    std::vector<QString> before;
    for (const Entry& e : entries)
        before.push_back(orla::LerRegShadow(e.path, e.name));
    const QString key = input.ConsumeBool() ? entries.back().path : Setting(input);
    const QString name = Setting(input);
    const QString value = Setting(input);
    if (!orla::GravarRegShadow(key, name, value))
        return;
    // A store whose first line is empty is not read; written to, it stays unread.
    const bool read = !bytes.startsWith('\r') && !bytes.startsWith('\n');
    const QString stored = orla::LerRegShadow(key, name);
    if (stored != (read ? orla::AnsiText(value) : QString()))
        std::fprintf(stderr, "key %s name %s value %s read %s\n", qPrintable(key), qPrintable(name),
                     qPrintable(value), qPrintable(stored));
    FUZZ_CHECK(stored == (read ? orla::AnsiText(value) : QString()));
    // Every entry whose line the written one cannot be taken for keeps its value.
    const QString prefix = orla::AnsiText(key + u':' + name + u'=');
    for (size_t i = 0; i < entries.size(); ++i) {
        const QString other = orla::AnsiText(entries[i].path + u':' + entries[i].name + u'=');
        if (other.startsWith(prefix, Qt::CaseInsensitive) ||
            prefix.startsWith(other, Qt::CaseInsensitive))
            continue;
        FUZZ_CHECK(orla::LerRegShadow(entries[i].path, entries[i].name) == before[i]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("ORLA_COMMON_APPDATA", orla::fuzz::PrivateFolder().toLocal8Bit());
    FUZZ_CHECK(orla::PrepararRegShadow());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const bool shadow = input.ConsumeBool();
    const size_t fileSize = input.ConsumeIntegralInRange<size_t>(0, input.remaining_bytes());
    const QByteArray bytes = QByteArray::fromStdString(input.ConsumeBytesAsString(fileSize));
    QStringDecoder decoder(QStringDecoder::encodingForData(bytes).value_or(QStringDecoder::Utf8));
    const std::vector<Entry> entries =
        Entries(shadow ? orla::FromAnsi(bytes) : decoder.decode(bytes));
    if (shadow)
        ShadowRoundTrip(bytes, entries, input);
    else
        RegFileRoundTrip(bytes, entries, input);
    return 0;
}
