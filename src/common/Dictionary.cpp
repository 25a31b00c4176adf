#include "common/Dictionary.h"

#include "platform/db/Error.h"

namespace orla {

bool Dictionary::Exists(const QString& key) const {
    return index_.contains(key.toCaseFolded());
}

void Dictionary::Add(const QString& key, const QVariant& item) {
    const QString folded = key.toCaseFolded();
    if (index_.contains(folded))
        throw OrlaError(457,
                        QStringLiteral("This key is already associated with an element of this "
                                       "collection"));
    index_.insert(folded, int(keys_.size()));
    keys_.append(key);
    items_.append(item);
}

QVariant Dictionary::Item(const QString& key) const {
    const auto found = index_.constFind(key.toCaseFolded());
    return found == index_.constEnd() ? QVariant() : items_.at(*found);
}

void Dictionary::SetItem(const QString& key, const QVariant& item) {
    const auto found = index_.constFind(key.toCaseFolded());
    if (found == index_.constEnd())
        Add(key, item);
    else
        items_[*found] = item;
}

void Dictionary::RemoveAll() {
    keys_.clear();
    items_.clear();
    index_.clear();
}

}  // namespace orla
