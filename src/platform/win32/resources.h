#pragma once

// Resource numbers shared by the resource script and the code.
#define kMainIconId 1
#define kHandCursorId 2
