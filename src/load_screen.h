#pragma once
// Progress display shown while data loads. Loading code reports progress
// (0 to 1) to an iLoadScreen; a screen lives only for the loading it reports.
// The scene manager's loading phase talks to a dummy that draws nothing.

class iLoadScreen {
public:
    virtual ~iLoadScreen() = default;
    // Shows `progress`; with `swap`, each drawn frame is presented.
    virtual void update(float progress, bool swap) = 0;
};

class cLoadScreenDummy : public iLoadScreen {
public:
    void update(float, bool) override {}
};
