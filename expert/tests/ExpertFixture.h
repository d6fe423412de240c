// A loaded module and one expert created by its factory.
#pragma once

#include "LoadedModule.h"
#include "Poison.h"
#include "References.h"

#include <gtest/gtest.h>

class ExpertFixture : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(module.error(), "");
        expert = module.createExpert();
        ASSERT_NE(expert, nullptr);
    }
    void TearDown() override {
        if (expert != nullptr) {
            EXPECT_EQ(expert->Release(), 0u) << "the test left references behind";
        }
    }

    LoadedModule module;
    IoxSysExpert2* expert = nullptr;
};
