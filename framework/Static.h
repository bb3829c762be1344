// A static text control of a dialog template.
#pragma once

#include "framework/Wnd.h"

class CStatic : public CWnd {};
