#pragma once

namespace tavrel {

// Why the last file operation failed, as the system says it, in errno's numbers (ENOSPC,
// EACCES, ...): Qt's file engine reports no such detail of its own. On Windows the error is
// the thread's last Win32 error, translated.
void ClearFileError();
int LastFileError();

} // namespace tavrel
