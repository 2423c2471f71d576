#pragma once
// Window types the table interface mentions without depending on a window system. CWnd is a
// window of the installed platform (the host's parent window, or the table's own window);
// the handles are opaque values of that platform.

class CWnd;
using HACCEL = void*;
using HMENU = void*;
using HICON = void*;
