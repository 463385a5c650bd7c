#pragma once
#include "uAbout.h"
#include "uClock.h"
#include "uInstallSkins.h"
#include "uPickSkins.h"

#include <memory>

// The skin dialogs linked to a whole clock, as the program's menu links them.
inline std::unique_ptr<TfPickSkins> pickSkinsFor(TfClock &c)
{
    return std::make_unique<TfPickSkins>(
        &c, c.skinSelection(), [&c] { c.BuildFace(); }, [&c] { c.SkinRemoved = true; });
}

inline std::unique_ptr<TfInstallSkins> installSkinsFor(TfClock &c)
{
    return std::make_unique<TfInstallSkins>(&c, c.skinSelection(), c.tblSkins, c.Folders, c.AppVersion);
}

inline std::unique_ptr<TfAbout> aboutFor(TfClock &c) { return std::make_unique<TfAbout>(&c, c.tblProduct); }
