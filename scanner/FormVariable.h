#pragma once
// The unit variable through which other windows reach a form that is created once at start-up.

/// Points Variable at Form for Form's lifetime, unless another form already holds it.
template <class T>
class TFormVariable final {
public:
    TFormVariable(T*& Variable, T* Form) : mVariable(Variable), mForm(Form) {
        if (mVariable == nullptr)
            mVariable = Form;
    }
    ~TFormVariable() {
        if (mVariable == mForm)
            mVariable = nullptr;
    }
    TFormVariable(const TFormVariable&) = delete;
    TFormVariable& operator=(const TFormVariable&) = delete;

private:
    T*& mVariable;
    T* mForm;
};
