#pragma once

#include <QList>
#include <QString>
#include <optional>

// The program's texts in French (ids 1 to 422) and English (the same id + 1000).
namespace StringTable {

// The text stored under `id` (already offset by the language), or nothing when
// no text has that id: the caller then keeps the text it had.
std::optional<QString> lookup(int id);

// The text of `id` in the language of `langOffset` (0 French, 1000 English).
inline std::optional<QString> text(int id, int langOffset) { return lookup(langOffset + id); }

// Every id (French ones, below 1000) that the table holds, in increasing order.
QList<int> frenchIds();

} // namespace StringTable
