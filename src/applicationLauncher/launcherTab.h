#ifndef KORVANI_LAUNCHERTAB_H
#define KORVANI_LAUNCHERTAB_H

#include "records/records.h"

// The launcher's tabs, in their order: every entry, the favourites, then one
// per tag mark in the order of tagValues. The stored "currentTab" counts so.
enum Tab : int { Home, Favorites, Heart, Diamond, Spade, Kroeber };
constexpr int tabCount = Kroeber + 1;

// The tag mark whose entries a tab shows; 0 for the first two tabs.
inline int tabTag(int tab)
{
    return tab >= Heart ? tagValues.value(tab - Heart) : 0;
}

#endif
