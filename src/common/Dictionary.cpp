#include "common/Dictionary.h"

#include "platform/db/Error.h"

namespace orla {

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

void Dictionary::RemoveAll() {
    keys_.clear();
    items_.clear();
    index_.clear();
}

}  // namespace orla
