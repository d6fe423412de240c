// A small component class with two interface chains, for exercising the
// component machinery without the expert.
#pragma once

#include "objectmodel/ComObject.h"

#include <atomic>

class ITestFront : public IUnknown {
public:
    virtual int32_t Front() = 0;

protected:
    ~ITestFront() = default;
};

class ITestBack : public IUnknown {
public:
    virtual int32_t Back() = 0;

protected:
    ~ITestBack() = default;
};

inline constexpr _GUID IID_ITestFront = {
    0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x01}};
inline constexpr _GUID IID_ITestBack = {
    0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x02}};

class CTestWidget : public virtual CKRComObjectRootEx<CKRComMultiThreadModelNoCS>,
                    public ITestFront,
                    public ITestBack {
public:
    static inline std::atomic<int> destroyed{0};
    static inline bool failConstruction = false;
    // Called from the widget's destructor, after CKRComObject's has run.
    static inline void (*duringTeardown)(CTestWidget* widget) = nullptr;

    static const KRInterfaceMapEntry* _GetEntries() {
        static const KRInterfaceMapEntry entries[] = {
            {&IID_ITestFront, 0, kKRMapPlainOffset},
            {&IID_ITestBack, KROffsetOfBase<ITestBack, CTestWidget>(), kKRMapPlainOffset},
            {nullptr, 0, kKRMapEnd},
        };
        return entries;
    }

    int32_t Front() override { return 1; }
    int32_t Back() override { return 2; }

protected:
    CTestWidget() {
        if (failConstruction) {
            throw int32_t(E_FAIL);
        }
    }
    virtual ~CTestWidget() {
        ++destroyed;
        if (duringTeardown != nullptr) {
            duringTeardown(this);
        }
    }
};
