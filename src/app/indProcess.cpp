#include "app/indProcess.h"

#include "base/cmcTextTables.h"
#include "cells/indModelData.h"

indProcess::indProcess(cmcSettingsStore& store, const cmcArea& primaryWorkArea, const std::string& dataFolder)
    : env_(std::make_unique<indEnviron>(MutexName, SettingsRoot, store, primaryWorkArea))
{
    if (!env_->IsFirstInstance())
        return;
    mainText_ = std::make_unique<cmcGTex>();
    languageText_ = std::make_unique<cmcGTex>();
    helpText_ = std::make_unique<cmcHelpGTex>();
    cmcSetTextTables(mainText_.get(), languageText_.get(), helpText_.get());
    indSelfCheck();
    events_ = std::make_unique<cmcEvMan>();
    cmcSetEvMan(events_.get());
    main_ = std::make_unique<indMain>(*env_, dataFolder);
}

indProcess::~indProcess()
{
    main_.reset();
    cmcSetEvMan(nullptr);
    events_.reset();
    cmcSetTextTables(nullptr, nullptr, nullptr);
    helpText_.reset();
    languageText_.reset();
    mainText_.reset();
    env_.reset(); // last: writes the settings back
}
