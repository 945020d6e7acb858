#pragma once
// A node of any kind for tests of the node base and of node paths: it owns
// its children in order and answers their index, as the real containers do.

#include <cstdint>
#include <memory>
#include <vector>

#include "DVD/source/DvdObject.h"
#include "DVD/source/Validator.h"

namespace kxtest
{

class TestNode : public CDvdObject
{
public:
    TestNode(uint8_t kind, CDvdObject* parent) : CDvdObject(kind, parent) {}
    TestNode(const TestNode& src, CDvdObject* parent) : CDvdObject(src, parent) {}
    ~TestNode() override
    {
        if (destroyed != nullptr)
            ++*destroyed;
    }

    // Appends a child of the given kind and answers it.
    TestNode& Add(uint8_t kind)
    {
        children.push_back(std::make_unique<TestNode>(kind, this));
        return *children.back();
    }

    int GetChildIndex(const CDvdObject* child) const override
    {
        for (size_t i = 0; i < children.size(); ++i)
        {
            if (children[i].get() == child)
                return static_cast<int>(i);
        }
        return -1;
    }
    TestNode* Self() override { return this; }
    const TestNode* Self() const override { return this; }
    bool Validate(CDvdValidator& validator, CDvdValidationMessages& messages) override
    {
        return validator.Check(CDvdReference(this, 0, 0), messages);
    }
    void Invalidate() override { ++invalidations; }

    std::vector<std::unique_ptr<TestNode>> children;
    int invalidations = 0;
    int* destroyed = nullptr; // counts destructions when set
};

} // namespace kxtest
