#version 300
#pragma eins
x
