#include <gtest/gtest.h>

#include "values/var.h"

TEST(Var, FloatToStr2CutsOrPadsToTwoDecimals)
{
    EXPECT_EQ(float_to_str2(0.5f), "0.50");
    EXPECT_EQ(float_to_str2(3.14159f), "3.14");
    EXPECT_EQ(float_to_str2(10.0f), "10");
    EXPECT_EQ(float_to_str2(0.125f), "0.12");  // cut, not rounded
    EXPECT_EQ(float_to_str2(-2.999f), "-2.99");
    EXPECT_EQ(float_to_str2(1234567.0f), "1.23e+06");
    EXPECT_EQ(float_to_str2(1.5e-5f), "1.50e-05");
}

TEST(Var, ToStringAndSetPerType)
{
    int i = -7;
    float f = 0.25f;
    double d = 0.1;
    unsigned u = 4000000000u;
    Vec3<float> v(1, 0.5f, 2);
    EXPECT_EQ(cVar<int>("i", &i).to_string(), "-7");
    EXPECT_EQ(cVar<float>("f", &f).to_string(), "0.25");
    EXPECT_EQ(cVar<double>("d", &d).to_string(), "0.1");
    EXPECT_EQ(cVar<unsigned>("u", &u).to_string(), "4000000000");
    EXPECT_EQ(cVar<Vec3<float>>("v", &v).to_string(), "(1,0.50,2)");

    std::string s = "old text";
    iVar* sv = new cVar<std::string>("s", &s);
    const std::string empty;
    sv->set(&empty);
    EXPECT_EQ(s, "");
    EXPECT_EQ(dynamic_cast<cVar<float>*>(sv), nullptr);  // types stay distinct
    delete sv;
}

struct FakeScene {
    tVarList vars;
    tVarList get_vars() { return vars; }
};

TEST(Var, FindVarReturnsFirstExactMatch)
{
    float a = 0, b = 0, c = 0;
    cVar<float> va("cur_t", &a), vb("cur_t", &b), vc("cur_tx", &c);
    FakeScene scene;
    EXPECT_EQ(find_var("cur_t", &scene), nullptr);
    scene.vars = {{&vc, nullptr}, {&va, nullptr}, {&vb, nullptr}};
    EXPECT_EQ(find_var("cur_t", &scene), &va);
    EXPECT_EQ(find_var("cur_tx", &scene), &vc);
    EXPECT_EQ(find_var("CUR_T", &scene), nullptr);
    EXPECT_EQ(find_var("cur_", &scene), nullptr);
}
