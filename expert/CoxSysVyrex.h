// The expert: the one object the host creates, reached through the
// IoxSysExpert2 chain (identity, lifecycle, searches, validation) and the
// IoxSysExpertPlugPlay chain (change notification).
#pragma once

#include "objectmodel/ComObject.h"
#include "objectmodel/KRMutex.h"
#include "objectmodel/oxSysInterfaces.h"

#include <cstdint>

namespace nKRVYREX_SYSAPI_EXPERT_18_5 {

class CoxSysVyrex : public virtual CKRComObjectRootEx<CKRComMultiThreadModelNoCS>,
                    public IoxSysExpert2,
                    public IoxSysExpertPlugPlay {
public:
    static const _GUID s_productID;

    static const KRInterfaceMapEntry* _GetEntries();

    // IoxSysExpertInfo
    int32_t GetProductID(_GUID* id) override;
    int32_t GetProductDisplayName(char16_t** name) override;
    int32_t GetProductVersion(char16_t** version) override;
    int32_t GetProgrammaticName(char16_t** name) override;

    // IoxSysExpert
    int32_t Initialize() override;
    int32_t Finalize() override;
    int32_t SearchForItemsAndProperties(IoxSysPropertyBagCollection* collection) override;
    int32_t SearchForItemNames(IoxSysEnumStringList** names) override;
    int32_t GetPropertiesOfItem(const char16_t* item, IoxSysPropertyBag** bag) override;
    int32_t PopulateOrRefreshProperties(const char16_t* item, uint32_t count, const uint32_t* tags,
                                        int32_t flag, IoxSysPropertyBag** bag) override;
    int32_t SetPreferredLocale(oxSysLocale locale) override;
    int32_t RenameAlias(const char16_t* item, const char16_t* newName,
                        oxSysRenameValidationMode mode, int32_t* result, char16_t** text) override;
    int32_t ValidatePropertyChanges(const char16_t* item, IoxSysPropertyBag2* changes,
                                    IoxSysEnumPropertyTag** tags, char16_t** text) override;
    int32_t PersistPropertyChanges(const char16_t* item, IoxSysPropertyBag2* changes,
                                   int32_t* result) override;

protected:
    CoxSysVyrex();
    virtual ~CoxSysVyrex();

public:
    // IoxSysExpertPlugPlay
    int32_t RegisterNotificationCallback(IoxSysFrameworkNotificationHandler* handler) override;

private:
    // Copies text into *destination as a length-prefixed string.
    static int32_t CopyOutString(const char16_t* text, char16_t** destination);

    // The handler slot is written by host threads and read by the refresh
    // thread; m_handlerLock makes each replacement and each read whole.
    CKRMutex m_handlerLock;
    IoxSysFrameworkNotificationHandler* m_notificationHandler = nullptr;
};

} // namespace nKRVYREX_SYSAPI_EXPERT_18_5
