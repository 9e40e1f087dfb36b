// main.cpp: program entry of velkarra3d.
int main() { return 1; }
