#pragma once

#include "main_window/main_window.h"
#include "platform/interfaces/file_deletion.h"

namespace tallowick {

// The Delete command, behind cmdDelCookies. A file that cannot be deleted is
// recorded and the run goes on, so one refusal never strands the rest.
void DeleteCookies(Main& main, const FileDeletionFactory& openDeletion, const DeleteInParts& inParts);

} // namespace tallowick
