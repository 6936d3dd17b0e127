// The data-provider framework's classes that can be streamed, registered before the first
// class lookup.
#include "extctrls/XcConsumerViewList.h"
#include "extctrls/XcDataContexts.h"
#include "extctrls/XcDataItemExtensions.h"

void XcRegisterDataProviderClasses()
{
  for (const TXcClassRef* C : {TXcDataItemsList::StaticClass(), TXcCustomDataItemsImages::StaticClass(),
                               TXcCustomDataItemsTextRenderer::StaticClass(), TXcBaseDataItemsListManagement::StaticClass(),
                               TXcBaseDataItem::StaticClass(), TXcDataItemTextImpl::StaticClass(),
                               TXcDataItemImageImpl::StaticClass(), TXcDataItemContextTextImpl::StaticClass(),
                               TXcDataItemBlockableTextImpl::StaticClass(), TXcDataConsumer::StaticClass(),
                               TXcDataConsumerItemSelect::StaticClass(), TXcDataContexts::StaticClass(),
                               TXcDataContext::StaticClass(), TXcManagedDataContext::StaticClass(),
                               TXcFixedDataContext::StaticClass()})
    XcRegisterClass(C);
}
