// The program of each layer's link check (CMakeLists.txt, quorrel_layer).
int main()
{
    return 0;
}
