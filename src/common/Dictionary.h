// A keyed collection that keeps its entries in the order they were added and
// compares its keys as text without regard to case ("Fatura" and "FATURA" are
// one key, kept in the form first added).
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace orla {

class Dictionary {
  public:
    int Count() const { return int(keys_.size()); }
    // Throws OrlaError 457 when the key is already there.
    void Add(const QString& key, const QVariant& item);
    // The key's item; an invalid QVariant when the key is not there.
    QVariant Item(const QString& key) const;
    const QStringList& Keys() const { return keys_; }
    const QVariantList& Items() const { return items_; }
    void RemoveAll();

  private:
    QStringList keys_;
    QVariantList items_;
    QHash<QString, int> index_;  // case-folded key -> position
};

}  // namespace orla
