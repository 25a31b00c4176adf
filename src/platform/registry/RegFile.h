// One root key's file in the .reg export format: a header line, then one
// section per key ("[SOFTWARE\Fortevia\Contabilidade]") with one line per
// value ("Conta_ID"="3", "@" for the key's unnamed value). The root's own
// values sit under a section named after the root. Only string values are
// read and written, escaping "\" and '"'; other lines (values of other
// kinds, comments) are kept as they are when the file is written again.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace orla::regfile {

class RegDocument {
  public:
    // Reads a file's bytes (UTF-8, or UTF-16 with its byte-order mark).
    static RegDocument Parse(const QByteArray& bytes, const QString& rootName);
    // The text to write, in UTF-8.
    QByteArray Serialize() const;

    // True when the key has a section; "" is the root itself.
    bool HasKey(const QString& path) const;
    std::optional<QString> Value(const QString& path, const QString& name) const;
    // Replaces the value in place, or adds it at the end of the key's section
    // (a new section at the end of the file when the key has none).
    void SetValue(const QString& path, const QString& name, const QString& text);

  private:
    struct Section {
        QString header;  // as written between the brackets
        QString path;    // the key's path below the root
        QStringList lines;
    };
    qsizetype SectionIndex(const QString& path) const;  // -1 when the key has no section

    QString rootName_;
    QStringList preamble_;
    QList<Section> sections_;
};

}  // namespace orla::regfile
