#pragma once
// A double-click on a catalogue row opens the icon details window of the
// row's icon, read anew from its file.

class QWidget;

namespace gb {

class CatalogueStore;
class CatalogueView;

void openDetailsOnDoubleClick(CatalogueView& view, const CatalogueStore& store, QWidget* parent);

// The details of the icon the row (from 0) shows; nothing for a row that is not there.
void openIconDetails(const CatalogueStore& store, int row, QWidget* parent);

} // namespace gb
