#pragma once

// The program: runs the main window until it ends, in whichever way it ends.
class ComposerApp
{
public:
    // Always false: the program ends when the main window has ended.
    bool InitInstance();
};
