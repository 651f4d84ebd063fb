#pragma once
// Removing a folder with everything in it, without ever following a link:
// a link (on Windows any reparse point: symbolic link, junction, mount
// point) is removed as a link wherever it stands, so nothing outside the
// tree is deleted through it.

#include <QString>

namespace treeremoval {

// Removes what stands at path. A folder goes with all its contents; a
// link, or anything else that is not a folder, is removed itself and never
// followed. Returns true when nothing stands at path any more (also when
// nothing stood there); false when something could not be removed, after
// removing all it could.
bool removeTree(const QString &path);

} // namespace treeremoval
