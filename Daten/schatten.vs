// Shadow pass, vertex stage: the vertex as the light sees it (the renderer passes the light
// transform as the view and the identity as the projection). The layout is the main pass's,
// so normal and colour are declared, though unused, to keep the inputs' numbering.
float4x4 WeltMatrix;
float4x4 SichtMatrix;
float4x4 ProjMatrix;

$rein float3 pos;
$rein float3 normale;
$rein float4 farbe;

$raus float4 position;
$raus float tiefe;

$main()
{
	position = mul( ProjMatrix, mul( SichtMatrix, mul( WeltMatrix, float4( pos, 1.0f))));
	tiefe = position.z / position.w;
}
