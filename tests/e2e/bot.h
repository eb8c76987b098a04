// A scripted player for the play scenarios: it reads the game through the
// modules' views before each pass and answers with key events, as a person
// at the keyboard would. It aims by predicting the fleet's march, dodges
// bombs, and keeps what it pressed as an input script.
#pragma once
#include <string>

struct BotOptions {
    bool shoot = true;  // aim at the fleet; otherwise only dodge
    bool dodge = true;
};

class Bot {
public:
    explicit Bot(BotOptions options) : options_(options) {}
    // Decides the keys for the next pass and pushes their events.
    void BeforePass(long pass, int entryState);
    // The events pushed so far, as replay input script lines.
    const std::string &Script() const { return script_; }

private:
    void Key(long pass, int sym, bool down, bool *held, const char *name);
    int DodgeDirection(int cx) const;
    bool Danger(int cx) const;
    // The cannon column to fire from and in how many frames; false if no
    // shot within reach would hit.
    bool Plan(int cx, int earliest, int *target, int *delay) const;

    BotOptions options_;
    bool left_ = false;
    bool right_ = false;
    bool fire_ = false;
    std::string script_;
};
