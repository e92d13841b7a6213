#include "app/ZqObjectModelHolder.h"

#include "model/ZqModel.h"

ZqObjectModelHolder* ZqObjectModelHolder::create(std::shared_ptr<ZqModel> model)
{
    auto* holder = new ZqObjectModelHolder(std::move(model));
    holder->autorelease();
    return holder;
}

std::shared_ptr<ZqModel> ZqObjectModelHolder::modelOf(const cocos2d::CCNode* node)
{
    if (!node)
        return nullptr;
    // Nodes may carry other user objects; only a holder answers.
    const auto* holder = dynamic_cast<const ZqObjectModelHolder*>(node->getUserObject());
    return holder ? holder->model() : nullptr;
}

unsigned ZqObjectModelHolder::modelIdOf(const cocos2d::CCNode* node)
{
    const std::shared_ptr<ZqModel> model = modelOf(node);
    return model ? model->id() : 0;
}
