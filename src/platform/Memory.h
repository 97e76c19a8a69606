#pragma once
// Gives freed heap pages back to the system. The allocator keeps the pages of a
// large block freed inside the heap resident until a later block reuses them, so
// pictures decoded only to be packed would still count against the process.
void ReleaseFreedMemory();
