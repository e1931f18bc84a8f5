#pragma once
// Resource ids shared by the .rc and the code.
#define IDR_MAINFRAME 128
