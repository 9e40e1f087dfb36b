// velkarra_data.cpp: writes the default data set.
int main() { return 1; }
