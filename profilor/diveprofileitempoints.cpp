// Editable profile points of the item.
//
// The handles (DivePoint children) exist only in edit mode; building and
// placing them belongs to the point-editing part of the item. The view
// operations call these two entry points at the moments the handles must be
// rebuilt (new dive, refit) or moved (zoom, pan, resize, fit).

#include "profilor/diveprofileitem.h"

void DiveProfileItem::createDivePoints()
{
}

void DiveProfileItem::updateDivePoints()
{
}
